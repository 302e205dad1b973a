#pragma once
// Loading the program's bitmaps. A missing or damaged bitmap gives null, and every caller
// draws without it.

#include <windows.h>

#include <commctrl.h>

namespace tarnix {

// The colour the art marks transparent with.
inline constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

// A bitmap resource as a DIB section: it keeps the exact colours, so the transparent
// magenta stays exact on any screen depth.
HBITMAP loadBitmap(int id, HINSTANCE module = GetModuleHandleW(nullptr));

// A strip of `size`-pixel square images with magenta as the transparent colour.
HIMAGELIST loadImageStrip(int id, int size, int count);

}  // namespace tarnix
