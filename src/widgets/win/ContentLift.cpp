#include "widgets/win/ContentLift.h"

#include <algorithm>
#include <climits>

namespace tarnix {

void ContentLift::fit(HWND page, int height, int margin) {
    int top = INT_MAX, bottom = INT_MIN;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        top = std::min<int>(top, r.top + lifted_);
        bottom = std::max<int>(bottom, r.bottom + lifted_);
    }
    if (top == INT_MAX) return;
    const int wanted = std::clamp(bottom + margin - height, 0, std::max(0, top - margin));
    const int delta = wanted - lifted_;
    if (delta == 0) return;
    lifted_ = wanted;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left, r.top - delta, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(page, nullptr, TRUE);
}

}  // namespace tarnix
