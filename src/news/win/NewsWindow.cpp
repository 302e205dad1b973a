#include "news/win/NewsWindow.h"

#include "news/NewsPlacement.h"
#include "news_ids.h"

namespace tarnix {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
// The minimised window stays this long before it goes.
constexpr UINT kCloseDelay = 500;

// The web view's host: a plain child that clips the control drawing inside it.
const WindowClass kHostClass{L"TarnixNewsView", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)};

Rect boxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

const int NewsWindow::kViewId = IDC_NEWS_VIEW;

NewsWindow::NewsWindow(std::unique_ptr<BrowserView> view, std::wstring address)
    : Dialog(IDD_NEWS), view_(std::move(view)), address_(std::move(address)) {}

BOOL NewsWindow::onInitDialog() {
    placeBesideOwner();
    HWND host = replaceMarker();
    if (view_ && !(host && view_->create(host))) view_.reset();  // the window stays empty
    // The page loads after the window has shown: initialisation does not wait for it.
    if (view_ && !address_.empty())
        post([this] {
            if (view_) view_->navigate(address_);
        });
    return TRUE;
}

// Its right edge 30 pixels left of the main window, at the top and size it was made with.
// A main window hidden in the tray is placed by where it will come back.
void NewsWindow::placeBesideOwner() {
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    if (!owner) return;
    RECT main{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (IsIconic(owner) && GetWindowPlacement(owner, &placement))
        main = placement.rcNormalPosition;
    else
        GetWindowRect(owner, &main);
    RECT self{};
    GetWindowRect(hwnd(), &self);
    Rect desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0,
                      0};
    desktop.right = desktop.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    desktop.bottom = desktop.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    Point at = newsWindowPosition(boxOf(main), boxOf(self), desktop);
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The template's static marks where the view goes; a host window of the same id and
// rectangle takes its place, so that the layout holds whether or not a view can be made.
HWND NewsWindow::replaceMarker() {
    HWND marker = item(kViewId);
    RECT area{};
    if (marker) {
        GetWindowRect(marker, &area);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
        DestroyWindow(marker);
    } else {
        GetClientRect(hwnd(), &area);
    }
    return host_.create(kHostClass, hwnd(), kViewId, area, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
}

// Shown minimised for a moment, then gone. The wait runs on a timer, so that the
// program's other windows go on meanwhile; a second close request changes nothing.
void NewsWindow::onClose() {
    if (closing_) return;
    closing_ = true;
    SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (!SetTimer(hwnd(), kCloseTimer, kCloseDelay, nullptr)) end(IDCANCEL);
}

void NewsWindow::onTimer(UINT_PTR id) {
    if (id != kCloseTimer) return;
    KillTimer(hwnd(), kCloseTimer);
    releaseView();
    end(IDCANCEL);
}

void NewsWindow::onDestroy() {
    KillTimer(hwnd(), kCloseTimer);
    releaseView();  // when the owner goes first
}

// The view lets go of its host while the host still exists.
void NewsWindow::releaseView() {
    if (view_) view_->close();
    view_.reset();
}

}  // namespace tarnix
