#pragma once
// Asks a window what a screen reader would: its accessible object through
// AccessibleObjectFromWindow, and the name, role, value and state of it and its parts. And
// walks a dialog with the Tab key alone, as a keyboard user would.
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/win/Scoped.h"

namespace tarnix::testing {

struct Heard {
    std::wstring name, value, description;
    long role = 0;
    long state = 0;
    long children = 0;
};

inline ComPtr<IAccessible> accessibleOf(HWND window) {
    ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               object.putVoid());
    return object;
}

// What a screen reader hears of `child` (CHILDID_SELF: the control) of `window`.
inline Heard hear(HWND window, long child = CHILDID_SELF) {
    Heard heard;
    ComPtr<IAccessible> object = accessibleOf(window);
    if (!object) return heard;
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    auto text = [&](auto get, std::wstring& into) {
        BSTR got = nullptr;
        if ((object.get()->*get)(id, &got) == S_OK && got) into = got;
        SysFreeString(got);
    };
    text(&IAccessible::get_accName, heard.name);
    text(&IAccessible::get_accValue, heard.value);
    text(&IAccessible::get_accDescription, heard.description);
    VARIANT out;
    VariantInit(&out);
    if (object->get_accRole(id, &out) == S_OK && out.vt == VT_I4) heard.role = out.lVal;
    VariantInit(&out);
    if (object->get_accState(id, &out) == S_OK && out.vt == VT_I4) heard.state = out.lVal;
    object->get_accChildCount(&heard.children);
    return heard;
}

inline std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The control a window belongs to for the user: a window inside a control (the edit box of
// a drop-down combo box or an address control, a list's header, a date picker's arrows) is
// a part of it; controls stand in dialogs.
inline HWND controlOf(HWND window) {
    while (window && GetParent(window) && className(GetParent(window)) != L"#32770" &&
           (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
        window = GetParent(window);
    return window;
}

// Holds Ctrl and Shift down (as GetKeyState sees them) while it lives.
class HeldKeys {
  public:
    HeldKeys(bool control, bool shift) {
        GetKeyboardState(saved_);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

  private:
    BYTE saved_[256];
};

// A dialog's own handling of a key before the dialog manager's (Dialog::filterMessage).
using KeyFilter = std::function<bool(MSG&)>;

// Presses `key` on the focused control of `dialog` as its message loop would pass it on.
inline void pressKey(HWND dialog, WPARAM key, bool control = false, bool shift = false,
                     const KeyFilter& filter = {}) {
    HeldKeys held(control, shift);
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0x00000001, GetTickCount(), {}};
    if (filter && filter(msg)) return;
    if (!IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The controls the focus visits, from the one that has it, pressing Tab until it comes
// back round (or `limit` presses).
inline std::vector<HWND> tabWalk(HWND dialog, const KeyFilter& filter = {}, int limit = 64) {
    std::vector<HWND> visited{controlOf(GetFocus())};
    for (int i = 0; i < limit; ++i) {
        pressKey(dialog, VK_TAB, false, false, filter);
        HWND now = controlOf(GetFocus());
        if (now == visited.front() || now == visited.back()) break;
        visited.push_back(now);
    }
    return visited;
}

// The controls of `dialog` (and of the pages shown in it) a user works with: every visible,
// enabled window but labels, frames, the windows that hold others and the parts of a
// control.
inline std::vector<HWND> workingControls(HWND dialog) {
    std::vector<HWND> found;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM into) -> BOOL {
            const std::wstring kind = className(child);
            const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
            const bool label = kind == L"Static" || kind == L"#32770" ||
                               kind == L"msctls_progress32" ||
                               (kind == L"Button" && type == BS_GROUPBOX);
            if (!label && controlOf(child) == child && IsWindowVisible(child) &&
                IsWindowEnabled(child))
                reinterpret_cast<std::vector<HWND>*>(into)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Whether a walk reached `control`: a radio button is reached with its group, whose one
// stop is the chosen button (the arrows choose among them).
inline bool reached(const std::vector<HWND>& walked, HWND control) {
    auto in = [&](HWND window) { return std::find(walked.begin(), walked.end(), window) != walked.end(); };
    if (in(control)) return true;
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    if (className(control) != L"Button" || (type != BS_RADIOBUTTON && type != BS_AUTORADIOBUTTON))
        return false;
    HWND parent = GetParent(control);
    for (HWND other = GetNextDlgGroupItem(parent, control, FALSE); other && other != control;
         other = GetNextDlgGroupItem(parent, other, FALSE))
        if (in(other)) return true;
    return false;
}

// High contrast on, as the user's registry keeps it (Wine has no live setting), while it
// lives.
class HighContrastOn {
  public:
    HighContrastOn() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key_.put(), nullptr);
        const wchar_t on[] = L"127";
        RegSetValueExW(key_.get(), L"Flags", 0, REG_SZ, reinterpret_cast<const BYTE*>(on),
                       sizeof(on));
    }
    ~HighContrastOn() { RegDeleteValueW(key_.get(), L"Flags"); }
    HighContrastOn(const HighContrastOn&) = delete;
    HighContrastOn& operator=(const HighContrastOn&) = delete;

  private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Accessibility\\HighContrast";
    ScopedRegKey key_;
};

}  // namespace tarnix::testing
