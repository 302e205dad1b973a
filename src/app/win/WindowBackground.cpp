#include "app/win/WindowBackground.h"

#include "widgets/win/Bitmaps.h"

namespace tarnix {

WindowBackground::~WindowBackground() {
    if (brush_) DeleteObject(brush_);
}

// The bitmaps the brush is made from are not kept.
void WindowBackground::attach(HWND window, int bitmapId) {
    window_ = window;
    HBITMAP bitmap = loadBitmap(bitmapId);
    if (!bitmap) return;
    RECT area;
    GetClientRect(window, &area);
    HDC screen = GetDC(window);
    HDC target = CreateCompatibleDC(screen);
    HDC source = CreateCompatibleDC(screen);
    HBITMAP stretched = CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ oldTarget = SelectObject(target, stretched);
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    // Halftoning would cost the window's start several milliseconds for a soft gradient.
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(window, screen);
    brush_ = CreatePatternBrush(stretched);
    DeleteObject(stretched);
    DeleteObject(bitmap);
}

bool WindowBackground::erase(HDC dc) {
    if (!brush_) return false;
    RECT area;
    GetClientRect(window_, &area);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &area, brush_);
    return true;
}

HBRUSH WindowBackground::labelBrush(HDC dc, HWND label) {
    if (!brush_ || GetParent(label) != window_) return nullptr;
    RECT r;
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    return brush_;
}

}  // namespace tarnix
