#include "app/win/WindowDocking.h"

#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

constexpr UINT_PTR kHoverTimer = 1, kSlideTimer = 2;
constexpr UINT kHoverPeriod = 200, kSlidePeriod = 5;

DockScreen screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Rect windowRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

// A window docked at the bottom stops above the taskbar.
void WindowDocking::attach(HWND window) {
    window_ = window;
    scaleTo(dpiOf(window));
}

void WindowDocking::scaleTo(Dpi dpi) {
    int taskbar = dock_.taskbarHeight();
    if (HWND shell = FindWindowW(L"Shell_TrayWnd", nullptr)) {
        RECT r;
        if (GetWindowRect(shell, &r)) taskbar = r.bottom - r.top;
    }
    dock_.setMetrics(taskbar, metricAt(SM_CYEDGE, dpi), metricAt(SM_CXFRAME, dpi), dpi);
}

bool WindowDocking::handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_MOVING:
            result = moving(*reinterpret_cast<RECT*>(lParam));
            return true;
        case WM_NCHITTEST:
            hitTest(lParam);
            return false;
        case WM_TIMER:
            if (wParam == kHoverTimer) watchCursor();
            if (wParam == kSlideTimer) slideStep();
            return wParam == kHoverTimer || wParam == kSlideTimer;
        default:
            return false;
    }
}

void WindowDocking::slideIn() {
    dock_.showFromTray();
    SetTimer(window_, kSlideTimer, kSlidePeriod, nullptr);
}

void WindowDocking::stop() {
    KillTimer(window_, kHoverTimer);
    KillTimer(window_, kSlideTimer);
    dock_.minimised();
}

bool WindowDocking::moving(RECT& proposed) {
    POINT cursor;
    GetCursorPos(&cursor);
    Rect rect{proposed.left, proposed.top, proposed.right, proposed.bottom};
    if (dock_.moving({cursor.x, cursor.y}, rect, screenSize(), windowRect(window_).height()))
        KillTimer(window_, kHoverTimer);
    proposed = {rect.left, rect.top, rect.right, rect.bottom};
    return true;
}

void WindowDocking::hitTest(LPARAM point) {
    Point at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (!dock_.hitTest(at, screenSize())) return;
    SetTimer(window_, kHoverTimer, kHoverPeriod, nullptr);
    SetTimer(window_, kSlideTimer, kSlidePeriod, nullptr);
}

void WindowDocking::watchCursor() {
    POINT cursor;
    GetCursorPos(&cursor);
    RECT window;
    GetWindowRect(window_, &window);
    if (!dock_.hoverTimer(PtInRect(&window, cursor) != FALSE)) return;
    KillTimer(window_, kHoverTimer);
    SetTimer(window_, kSlideTimer, kSlidePeriod, nullptr);
}

void WindowDocking::slideStep() {
    DockTick tick = dock_.animationTick(windowRect(window_), screenSize());
    if (tick.action == DockTick::Stop) KillTimer(window_, kSlideTimer);
    if (tick.action == DockTick::Move)
        SetWindowPos(window_, HWND_TOPMOST, tick.rect.left, tick.rect.top, tick.rect.width(),
                     tick.rect.height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

}  // namespace tarnix
