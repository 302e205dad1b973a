#pragma once
// Loading the program's bitmaps. A missing or damaged bitmap gives an empty handle, and
// every caller draws without it.

#include <windows.h>

#include <commctrl.h>

#include "base/Dpi.h"
#include "base/win/Scoped.h"

namespace tarnix {

// The colour the art marks transparent with.
inline constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

// A bitmap resource as a DIB section: it keeps the exact colours, so the transparent
// magenta stays exact on any screen depth.
ScopedBitmap loadBitmap(int id, HINSTANCE module = GetModuleHandleW(nullptr));

// The bitmap `id` as drawn for the art scale nearest `dpi`: the 100 % drawing is the BITMAP
// resource, the others are resources of types ART125, ART150 and ART200 holding the rendered
// .bmp file. A scale that is missing falls back to the next smaller one.
ScopedBitmap loadBitmap(int id, Dpi dpi, HINSTANCE module = GetModuleHandleW(nullptr));

// A strip of `size`-pixel (at 96 DPI) square images with magenta as the transparent colour,
// from the art nearest `dpi`, at the size `dpi` gives. Art of another size (a DPI between the
// drawn scales) is resized pixel for pixel, so that magenta stays exact at the edges.
ScopedImageList loadImageStrip(int id, int size, int count, Dpi dpi = Dpi());

// The size of a bitmap in pixels (0 by 0 for none).
SIZE bitmapSize(HBITMAP bitmap);

}  // namespace tarnix
