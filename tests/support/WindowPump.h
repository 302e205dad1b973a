#pragma once
// Helpers of the window tests: handling this thread's messages while waiting, and reading
// a menu item's state.
#include <windows.h>

namespace tarnix::testing {

// Handles this thread's messages until `done`, for up to ten seconds.
template <class Done>
bool pumpUntil(Done done) {
    const DWORD until = GetTickCount() + 10000;
    while (!done()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() > until) return false;
        Sleep(1);
    }
    return true;
}

// Handles the messages already queued.
inline void pumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

inline bool menuItemEnabled(HMENU menu, UINT position) {
    UINT state = GetMenuState(menu, position, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

inline bool menuEnabled(HWND window, int popup, UINT position) {
    return menuItemEnabled(GetSubMenu(GetMenu(window), popup), position);
}

}  // namespace tarnix::testing
