#include "app/win/WindowBackground.h"

#include "widgets/win/Bitmaps.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {

// The bitmaps the brush is made from are not kept.
void WindowBackground::attach(HWND window, int bitmapId) {
    window_ = window;
    ScopedBitmap bitmap = loadBitmap(bitmapId, dpiOf(window));
    if (!bitmap) return;
    RECT area;
    GetClientRect(window, &area);
    SIZE size = bitmapSize(bitmap.get());
    WindowDC screen(window);
    MemoryDC target(screen.get()), source(screen.get());
    ScopedBitmap stretched(CreateCompatibleBitmap(screen.get(), area.right, area.bottom));
    {
        SelectGuard intoTarget(target.get(), stretched.get());
        SelectGuard fromSource(source.get(), bitmap.get());
        // Halftoning would cost the window's start several milliseconds for a soft gradient.
        SetStretchBltMode(target.get(), COLORONCOLOR);
        StretchBlt(target.get(), 0, 0, area.right, area.bottom, source.get(), 0, 0, size.cx,
                   size.cy, SRCCOPY);
    }
    brush_.reset(CreatePatternBrush(stretched.get()));
}

bool WindowBackground::erase(HDC dc) {
    if (!brush_ || highContrast()) return false;
    RECT area;
    GetClientRect(window_, &area);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &area, brush_.get());
    return true;
}

HBRUSH WindowBackground::labelBrush(HDC dc, HWND label) {
    if (!brush_ || GetParent(label) != window_ || highContrast()) return nullptr;
    RECT r;
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    return brush_.get();
}

}  // namespace tarnix
