#pragma once
// A bitmap stretched over a window's client area, made once into a brush: it paints the
// window and shows through the window's labels, aligned with it. Without the bitmap the
// window draws plainly, and so it does in high contrast.

#include <windows.h>

#include "base/win/Scoped.h"

namespace tarnix {

class WindowBackground {
  public:
    // Stretches bitmap `bitmapId` over `window`'s client area as it is now.
    void attach(HWND window, int bitmapId);
    bool attached() const { return window_ != nullptr; }
    // WM_ERASEBKGND: false when there is nothing to paint with.
    bool erase(HDC dc);
    // WM_CTLCOLORSTATIC of a label of the window: the brush, or null for the default.
    HBRUSH labelBrush(HDC dc, HWND label);

  private:
    HWND window_ = nullptr;
    ScopedBrush brush_;
};

}  // namespace tarnix
