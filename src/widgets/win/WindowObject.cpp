#include "widgets/win/WindowObject.h"

#include <windowsx.h>

#include "widgets/win/UiTask.h"

namespace tarnix {

bool WindowObject::post(std::function<void()> task) const {
    return postUiTask(hwnd_, std::move(task));
}

void WindowObject::detachWindow() {
    dropUiTasks(hwnd_);
    hwnd_ = nullptr;
}

bool WindowObject::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (runUiTask(msg, wParam, lParam)) {
        result = 0;
        return true;
    }
    return onMessage(msg, wParam, lParam, result) || dispatchTyped(msg, wParam, lParam, result);
}

bool WindowObject::dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            return header && onNotify(static_cast<int>(header->idFrom), *header, result);
        }
        case WM_TIMER:
            onTimer(wParam);
            return true;
        case WM_SIZE:
            onSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return false;  // the system's handling goes on
        case WM_CONTEXTMENU:
            return onContextMenu(reinterpret_cast<HWND>(wParam),
                                 POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_ERASEBKGND:
            if (!onEraseBackground(reinterpret_cast<HDC>(wParam))) return false;
            result = 1;
            return true;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HBRUSH brush =
                onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), msg);
            result = reinterpret_cast<LRESULT>(brush);
            return brush != nullptr;
        }
        case WM_DESTROY:
            onDestroy();
            return false;
        default:
            return false;
    }
}

}  // namespace tarnix
