#include "app/win/TrayIcon.h"

namespace tarnix {
namespace {

template <std::size_t N>
void copyText(wchar_t (&field)[N], const std::wstring& text) {
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = L'\0';
}

}  // namespace

void TrayIcon::prepare(HWND owner, UINT id, UINT callbackMessage, HICON icon,
                       const std::wstring& tip) {
    data_ = {};
    data_.cbSize = sizeof(data_);
    data_.hWnd = owner;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    copyText(data_.szTip, tip);
}

void TrayIcon::show() {
    if (!data_.hWnd) return;
    // No shell (or one that is still starting) is not an error: the taskbar's message
    // brings the icon back when it is there.
    NOTIFYICONDATAW record = addRecord();
    added_ = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    if (!added_) return;
    record.uVersion = NOTIFYICON_VERSION_4;
    version4_ = Shell_NotifyIconW(NIM_SETVERSION, &record) != FALSE;
    // In that way the shell shows the tip only when asked to.
    if (version4_) data_.uFlags |= NIF_SHOWTIP;
}

NOTIFYICONDATAW TrayIcon::addRecord() const {
    NOTIFYICONDATAW record = data_;
    record.uFlags &= ~NIF_INFO;
    return record;
}

void TrayIcon::remove() {
    if (added_) Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}

void TrayIcon::setTip(const std::wstring& tip) {
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | (version4_ ? NIF_SHOWTIP : 0);
    copyText(data_.szTip, tip);
    modify();
}

void TrayIcon::showBalloon(const std::wstring& title, const std::wstring& text, HICON icon) {
    data_.uFlags |= NIF_INFO;
    copyText(data_.szInfoTitle, title);
    copyText(data_.szInfo, text);
    data_.uTimeout = 100;
    data_.dwInfoFlags = NIIF_NONE;
    if (icon) data_.hIcon = icon;
    modify();
}

void TrayIcon::modify() {
    if (!data_.hWnd) return;
    // Not added yet (the shell was starting): the first add carries the balloon.
    if (!Shell_NotifyIconW(NIM_MODIFY, &data_) && !added_)
        added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

}  // namespace tarnix
