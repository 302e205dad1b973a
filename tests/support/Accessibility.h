#pragma once
// Asks a window what a screen reader would: its accessible object through
// AccessibleObjectFromWindow, and the name, role, value and state of it and its parts. And
// walks a dialog with the Tab key alone, as a keyboard user would.
#include <windows.h>

#include <oleacc.h>

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

// The control a window belongs to for the user: the edit box of a drop-down combo box or of
// an address control, and a list's header, are parts of those.
inline HWND controlOf(HWND window) {
    const std::wstring parent = className(GetParent(window));
    if (parent == L"ComboBox" || parent == L"SysIPAddress32" || parent == L"SysListView32")
        return GetParent(window);
    return window;
}

// Presses Tab (Shift+Tab when `back`) in `dialog` as its message loop would pass it on.
inline void pressTab(HWND dialog, bool back = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = back ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, GetTickCount(), {}};
    if (!IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
}

// The controls the focus visits, from the one that has it, pressing Tab until it comes
// back round (or `limit` presses).
inline std::vector<HWND> tabWalk(HWND dialog, int limit = 64) {
    std::vector<HWND> visited{controlOf(GetFocus())};
    for (int i = 0; i < limit; ++i) {
        pressTab(dialog);
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

}  // namespace tarnix::testing
