#include "widgets/win/Window.h"

#include <shellapi.h>
#include <windowsx.h>

#include "base/win/Scoped.h"

namespace tarnix {
namespace {

POINT pointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The paths of a drop; the drop is finished here, whatever its window makes of them.
std::vector<std::wstring> takeDroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    return paths;
}

}  // namespace

Window::~Window() {
    if (HWND window = hwnd()) {
        // The derived object is gone already: the window's last messages find no object.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        detachWindow();
        DestroyWindow(window);
    }
}

HWND Window::create(const WindowClass& kind, HWND parent, int id, const RECT& area, DWORD style,
                    DWORD exStyle) {
    if (hwnd()) return nullptr;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = kind.style;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = kind.background;
    wc.lpszClassName = kind.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return CreateWindowExW(exStyle, kind.name, L"", style, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->attachWindow(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = 0;
    const bool handled =
        guarded([&] { return self->handleMessage(msg, wParam, lParam, result); }, false);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->detachWindow();
    }
    return handled ? result : DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool Window::dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_PAINT: {
            PaintDC dc(hwnd());
            onPaint(dc.get(), dc.area());
            return true;
        }
        case WM_MOUSEMOVE:
            return onMouseMove(pointOf(lParam));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return onLeftDown(pointOf(lParam));
        case WM_LBUTTONUP:
            return onLeftUp(pointOf(lParam));
        case WM_RBUTTONUP:
            return onRightUp(pointOf(lParam));
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT || !onSetCursor()) return false;
            result = TRUE;
            return true;
        case WM_CAPTURECHANGED:
            onCaptureChanged(reinterpret_cast<HWND>(lParam));
            return true;
        case WM_DROPFILES:
            onDropFiles(takeDroppedPaths(reinterpret_cast<HDROP>(wParam)));
            return true;
        default:
            return WindowObject::dispatchTyped(msg, wParam, lParam, result);
    }
}

}  // namespace tarnix
