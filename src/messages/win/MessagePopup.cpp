#include "messages/win/MessagePopup.h"

#include "base/CodePage.h"
#include "messages/MessageCenterTexts.h"
#include "messages_ids.h"

namespace tarnix {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
constexpr COLORREF kPopupColour = RGB(232, 240, 255);
// The message centre's blue, in a band along the top, and a darker one for the title.
constexpr COLORREF kBandColour = RGB(140, 169, 229);
constexpr COLORREF kTitleColour = RGB(20, 60, 140);
constexpr int kBandHeight = 4;
constexpr size_t kPreviewBytes = 120;

}  // namespace

MessagePopup::MessagePopup(Message message, std::function<void(const Message&)> clicked,
                           std::function<void()> closed)
    : Dialog(IDD_MESSAGE_POPUP),
      message_(std::move(message)),
      clicked_(std::move(clicked)),
      closed_(std::move(closed)) {}

MessagePopup* MessagePopup::show(Message message, std::function<void(const Message&)> clicked,
                                 std::function<void()> closed) {
    auto* popup = new MessagePopup(std::move(message), std::move(clicked), std::move(closed));
    if (!popup->createModeless(nullptr, true)) return nullptr;
    return popup;
}

std::string MessagePopup::preview(const std::string& content) {
    return shortenGbText(content, kPreviewBytes);
}

BOOL MessagePopup::onInitDialog() {
    background_.reset(CreateSolidBrush(kPopupColour));
    LOGFONTW font{};
    if (HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)))
        GetObjectW(dialogFont, sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    titleFont_.reset(CreateFontIndirectW(&font));
    SendMessageW(item(IDC_POPUP_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), 0);
    setItemText(IDC_POPUP_TITLE, gbToWide(message_.title));
    setItemText(IDC_POPUP_TEXT, gbToWide(preview(message_.content)));
    placeAboveTray();
    SetTimer(hwnd(), kCloseTimer, kShownMs, nullptr);
    return FALSE;  // no focus taken
}

// The bottom right corner of the work area, where the notification area is on most desks.
void MessagePopup::placeAboveTray() {
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd(), &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(hwnd(), HWND_TOPMOST, work.right - width - 8, work.bottom - height - 8, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void MessagePopup::click() {
    KillTimer(hwnd(), kCloseTimer);
    auto clicked = clicked_;
    const Message message = message_;
    end(IDOK);  // frees this object
    if (clicked) clicked(message);
}

bool MessagePopup::onCommand(int id, int code, HWND) {
    if ((id == IDC_POPUP_TITLE || id == IDC_POPUP_TEXT) && code == STN_CLICKED) {
        click();
        return true;
    }
    return false;
}

bool MessagePopup::onMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_LBUTTONUP) {
        click();
        result = 0;
        return true;
    }
    if (msg == WM_MOUSEACTIVATE) {  // a click does not take the focus from the user's work
        result = MA_NOACTIVATE;
        return true;
    }
    return false;
}

void MessagePopup::onTimer(UINT_PTR id) {
    if (id == kCloseTimer) end(IDCANCEL);
}

HBRUSH MessagePopup::onControlColour(HDC dc, HWND control, UINT msg) {
    if (msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORDLG) return nullptr;
    SetBkColor(dc, kPopupColour);
    if (control == item(IDC_POPUP_TITLE)) SetTextColor(dc, kTitleColour);
    return background_.get();
}

bool MessagePopup::onEraseBackground(HDC dc) {
    RECT area;
    GetClientRect(hwnd(), &area);
    FillRect(dc, &area, background_.get());
    area.bottom = area.top + kBandHeight;
    SetDCBrushColor(dc, kBandColour);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    return true;
}

void MessagePopup::onDestroy() {
    KillTimer(hwnd(), kCloseTimer);
    if (closed_) closed_();
}

}  // namespace tarnix
