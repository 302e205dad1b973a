#pragma once
// The base of the control wrappers: a control of a dialog, found by its id, with the
// operations every window has. Wrappers hold no state but the handle, so a dialog may make
// one where it needs it: `ListView(item(IDC_LIST)).rowCount()`.

#include <windows.h>

#include <string>
#include <string_view>
#include <type_traits>

namespace tarnix {

// WM_GETDLGCODE's answer for a control that moves among its own parts with the arrows and
// presses one with Enter, which the dialog would otherwise take; Tab still leaves it.
// `lParam` is the message's: the key's MSG, or null.
inline LRESULT arrowsAndEnterDialogCode(LPARAM lParam) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    LRESULT code = DLGC_WANTARROWS;
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
    return code;
}

class Control {
  public:
    Control() = default;
    explicit Control(HWND control) : hwnd_(control) {}
    Control(HWND dialog, int id) : hwnd_(GetDlgItem(dialog, id)) {}

    void attach(HWND control) { hwnd_ = control; }
    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    std::wstring text() const;
    void setText(std::wstring_view text) const { SetWindowTextW(hwnd_, std::wstring(text).c_str()); }
    void enable(bool enabled) const { EnableWindow(hwnd_, enabled); }
    bool enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void show(bool shown) const { ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE); }
    bool visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void focus() const { SetFocus(hwnd_); }

  protected:
    // The control's message, with its parameters as the control takes them.
    template <class W = WPARAM, class L = LPARAM>
    LRESULT send(UINT msg, W wParam = 0, L lParam = 0) const {
        return SendMessageW(hwnd_, msg, toParam<WPARAM>(wParam), toParam<LPARAM>(lParam));
    }

  private:
    template <class To, class From>
    static To toParam(From value) {
        if constexpr (std::is_pointer_v<From>)
            return reinterpret_cast<To>(value);
        else
            return static_cast<To>(value);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace tarnix
