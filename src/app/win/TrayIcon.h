#pragma once
// The client's icon in the notification area: its tip, the balloons on link up and link
// down, and the way back to the window while it is hidden. The record is kept so that the
// icon can be put back as it was when Explorer restarts. The icon asks for the shell's
// fourth way of telling its events, which adds the keyboard's: Enter or Space on the icon
// (NIN_KEYSELECT) and Shift+F10 or the context-menu key (WM_CONTEXTMENU); the event is
// then LOWORD(lParam) of the callback message, in either way.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace tarnix {

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { remove(); }
    // One icon in the notification area: a copy would remove it twice.
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Sets up the icon owned by `owner`, whose mouse events arrive as `callbackMessage`;
    // show() puts it in the notification area.
    void prepare(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip);
    // Adds the icon to the notification area: at start, and again after the shell's taskbar
    // was re-created.
    void show();
    void remove();

    // Shows `tip` when the mouse rests on the icon; drops a pending balloon.
    void setTip(const std::wstring& tip);
    void showBalloon(const std::wstring& title, const std::wstring& text, HICON icon);

    std::wstring tip() const { return data_.szTip; }
    std::wstring balloonTitle() const { return data_.szInfoTitle; }
    std::wstring balloonText() const { return data_.szInfo; }
    bool balloonPending() const { return (data_.uFlags & NIF_INFO) != 0; }
    HICON icon() const { return data_.hIcon; }
    bool added() const { return added_; }
    // The shell sends the keyboard's events (NIM_SETVERSION was accepted).
    bool keyboardEvents() const { return version4_; }
    // What show() hands the shell: the icon, its tip and callback, never a balloon, which
    // would be shown again each time Explorer restarts.
    NOTIFYICONDATAW addRecord() const;

  private:
    void modify();

    NOTIFYICONDATAW data_{};
    bool added_ = false;
    bool version4_ = false;
};

}  // namespace tarnix
