#include "app/win/LinkDialog.h"

#include <commctrl.h>

#include "base/ShellOpen.h"
#include "widgets/win/Contrast.h"

namespace tarnix {
namespace {

// The body colour of the login page's background picture, between its top and bottom.
constexpr COLORREF kLightPageColour = RGB(240, 245, 251);

}  // namespace

LinkDialog::LinkDialog(int templateId, std::vector<Link> links, Background background)
    : Dialog(templateId), links_(std::move(links)), background_(background) {}

void LinkDialog::setLinkText(int id, const std::string& asciiText) {
    std::wstring text = L"<a>";
    text.append(asciiText.begin(), asciiText.end());
    text += L"</a>";
    setItemText(id, text);
}

bool LinkDialog::openLinkOf(int controlId) {
    for (const Link& link : links_) {
        if (link.controlId == controlId) {
            shellOpen(link.address);
            return true;
        }
    }
    return false;
}

bool LinkDialog::onNotify(int id, NMHDR& header, LRESULT& result) {
    if (header.code != NM_CLICK && header.code != NM_RETURN) return false;
    if (!openLinkOf(id)) return false;
    result = 0;
    return true;
}

// The labels and links sit on the page's own colour. The DC's own brush rather than one of
// ours: some link controls delete the brush they are given, and a stock object survives that.
HBRUSH LinkDialog::onControlColour(HDC dc, HWND control, UINT msg) {
    if (background_ != Background::Light || highContrast()) return nullptr;
    if (msg != WM_CTLCOLORDLG && msg != WM_CTLCOLORSTATIC) return nullptr;
    SetBkColor(dc, kLightPageColour);
    SetDCBrushColor(dc, kLightPageColour);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

}  // namespace tarnix
