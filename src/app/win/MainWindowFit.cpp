#include "app/win/MainWindowFit.h"

#include <cmath>

#include "app/WorkAreaFit.h"

namespace tarnix {
namespace {

// The client area at 96 DPI, as the template gives it there.
constexpr int kClientWidth = 299, kClientHeight = 735;
// What the page area keeps at least (at 96 DPI): the column of tabs and the login page's
// fields and buttons.
constexpr int kLeastPageHeight = 240;

RECT clientRectOf(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A monitor that is gone answers for none: the nearest one takes the window.
RECT monitorWorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return {};
    return monitor.rcWork;
}

int share(double part, int whole) {
    return static_cast<int>(std::lround(part * whole));
}

}  // namespace

void MainWindowFit::attach(HWND window, HWND pageArea, WorkArea workArea) {
    window_ = window;
    pageArea_ = pageArea;
    workArea_ = workArea ? std::move(workArea) : WorkArea(monitorWorkArea);
    shrink_ = 0;
    layout_.clear();
    RECT client{};
    GetClientRect(window, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    const double width = client.right, height = client.bottom;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = clientRectOf(child, window);
        layout_.push_back(
            {child, r.left / width, r.top / height, r.right / width, r.bottom / height});
    }
}

void MainWindowFit::scaleTo(Dpi dpi) {
    if (!window_) return;
    shrink_ = 0;
    RECT client{}, frame{};
    GetClientRect(window_, &client);
    GetWindowRect(window_, &frame);
    const int width = dpi.scale(kClientWidth), height = dpi.scale(kClientHeight);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                 frame.bottom - frame.top + height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Share& s : layout_) {
        const int left = share(s.left, width), top = share(s.top, height);
        SetWindowPos(s.control, nullptr, left, top, share(s.right, width) - left,
                     share(s.bottom, height) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool MainWindowFit::fit(Dpi dpi, bool move) {
    if (!window_ || !pageArea_) return false;
    RECT now{};
    GetWindowRect(window_, &now);
    const Rect full{now.left, now.top, now.right, now.bottom + shrink_};
    const RECT w = workArea_(window_);
    RECT page = clientRectOf(pageArea_, window_);
    const int shrinkable = page.bottom - page.top + shrink_ - dpi.scale(kLeastPageHeight);
    WorkAreaFit fit = fitIntoWorkArea(full, {w.left, w.top, w.right, w.bottom}, shrinkable);
    if (!move) fit.window = {full.left, full.top, full.right, full.bottom - fit.shrink};
    const bool changed = fit.shrink != shrink_;
    shrinkTo(fit.shrink);
    SetWindowPos(window_, nullptr, fit.window.left, fit.window.top, fit.window.width(),
                 fit.window.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return changed;
}

void MainWindowFit::shrinkTo(int shrink) {
    const int delta = shrink - shrink_;
    if (delta == 0) return;
    shrink_ = shrink;
    const RECT page = clientRectOf(pageArea_, window_);
    // The controls below the page area move with the window's bottom.
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r = clientRectOf(child, window_);
        if (child == pageArea_)
            SetWindowPos(child, nullptr, 0, 0, r.right - r.left, r.bottom - r.top - delta,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        else if (r.top >= page.bottom)
            SetWindowPos(child, nullptr, r.left, r.top - delta, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace tarnix
