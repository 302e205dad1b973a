#pragma once
// Loading the program's bitmaps. A missing or damaged bitmap gives an empty handle, and
// every caller draws without it.

#include <windows.h>

#include <commctrl.h>

#include "base/win/Scoped.h"

namespace tarnix {

// The colour the art marks transparent with.
inline constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

// A bitmap resource as a DIB section: it keeps the exact colours, so the transparent
// magenta stays exact on any screen depth.
ScopedBitmap loadBitmap(int id, HINSTANCE module = GetModuleHandleW(nullptr));

// A strip of `size`-pixel square images with magenta as the transparent colour.
ScopedImageList loadImageStrip(int id, int size, int count);

// The size of a bitmap in pixels (0 by 0 for none).
SIZE bitmapSize(HBITMAP bitmap);

}  // namespace tarnix
