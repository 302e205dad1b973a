#include "widgets/win/Bitmaps.h"

namespace tarnix {

HBITMAP loadBitmap(int id, HINSTANCE module) {
    if (id <= 0 || id > 0xFFFF) return nullptr;
    return static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HIMAGELIST loadImageStrip(int id, int size, int count) {
    HBITMAP strip = loadBitmap(id);
    if (!strip) return nullptr;
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    if (list) ImageList_AddMasked(list, strip, kTransparentColour);
    DeleteObject(strip);
    return list;
}

}  // namespace tarnix
