#include "widgets/win/Bitmaps.h"

#include <cstdlib>

namespace tarnix {

ScopedBitmap loadBitmap(int id, HINSTANCE module) {
    if (id <= 0 || id > 0xFFFF) return ScopedBitmap();
    return ScopedBitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

ScopedImageList loadImageStrip(int id, int size, int count) {
    ScopedBitmap strip = loadBitmap(id);
    if (!strip) return ScopedImageList();
    ScopedImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0));
    if (list) ImageList_AddMasked(list.get(), strip.get(), kTransparentColour);
    return list;
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {0, 0};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

}  // namespace tarnix
