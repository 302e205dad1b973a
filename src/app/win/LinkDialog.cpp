#include "app/win/LinkDialog.h"

#include <commctrl.h>

#include "base/ShellOpen.h"

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

bool LinkDialog::openLinkOf(UINT_PTR controlId) {
    for (const Link& link : links_) {
        if (static_cast<UINT_PTR>(link.controlId) == controlId) {
            shellOpen(link.address);
            return true;
        }
    }
    return false;
}

bool LinkDialog::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (!header || (header->code != NM_CLICK && header->code != NM_RETURN)) return false;
            if (!openLinkOf(header->idFrom)) return false;
            result = 0;
            return true;
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: {
            // The labels and links sit on the page's own colour. The DC's own brush rather
            // than one of ours: some link controls delete the brush they are given, and a
            // stock object survives that.
            if (background_ != Background::Light) return false;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, kLightPageColour);
            SetDCBrushColor(dc, kLightPageColour);
            result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tarnix
