#include "widgets/win/Bitmaps.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace tarnix {

ScopedBitmap loadBitmap(int id, HINSTANCE module) {
    if (id <= 0 || id > 0xFFFF) return ScopedBitmap();
    return ScopedBitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

namespace {

// A .bmp file held in a resource, as a DIB section; empty for anything but an uncompressed
// 24- or 32-bit bitmap that lies wholly inside the resource.
ScopedBitmap bitmapFromFile(const BYTE* data, DWORD size) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (!data || size < sizeof(file) + sizeof(info)) return ScopedBitmap();
    std::memcpy(&file, data, sizeof(file));
    std::memcpy(&info, data + sizeof(file), sizeof(info));
    const long long width = info.biWidth, height = std::abs(static_cast<long long>(info.biHeight));
    if (file.bfType != 0x4D42 || info.biSize < sizeof(info) || info.biCompression != BI_RGB ||
        (info.biBitCount != 24 && info.biBitCount != 32) || width <= 0 || width > 8192 ||
        height <= 0 || height > 8192)
        return ScopedBitmap();
    const long long stride = (width * info.biBitCount + 31) / 32 * 4;
    if (file.bfOffBits > size || stride * height > size - file.bfOffBits) return ScopedBitmap();
    info.biSize = sizeof(info);
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits)
        std::memcpy(bits, data + file.bfOffBits, static_cast<size_t>(stride * height));
    return bitmap;
}

ScopedBitmap loadScaledBitmap(int id, int percent, HINSTANCE module) {
    if (percent == 100) return loadBitmap(id, module);
    if (id <= 0 || id > 0xFFFF) return ScopedBitmap();
    const std::wstring type = L"ART" + std::to_wstring(percent);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type.c_str());
    if (!found) return ScopedBitmap();
    return bitmapFromFile(static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
                          SizeofResource(module, found));
}

// `bitmap` resized to width x height, each pixel taken whole from the nearest source pixel;
// empty when it has that size already.
ScopedBitmap resized(HBITMAP bitmap, int width, int height) {
    const SIZE from = bitmapSize(bitmap);
    if (from.cx == width && from.cy == height) return ScopedBitmap();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    ScopedBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!target) return target;
    MemoryDC to(nullptr), source(nullptr);
    SelectGuard intoTarget(to.get(), target.get());
    SelectGuard fromSource(source.get(), bitmap);
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, width, height, source.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return target;
}

}  // namespace

ScopedBitmap loadBitmap(int id, Dpi dpi, HINSTANCE module) {
    const int wanted = dpi.nearest(kArtScales);
    for (auto scale = std::rbegin(kArtScales); scale != std::rend(kArtScales); ++scale) {
        if (*scale > wanted) continue;
        if (ScopedBitmap bitmap = loadScaledBitmap(id, *scale, module)) return bitmap;
    }
    return ScopedBitmap();
}

ScopedImageList loadImageStrip(int id, int size, int count, Dpi dpi) {
    ScopedBitmap strip = loadBitmap(id, dpi);
    if (!strip) return ScopedImageList();
    const int pixels = dpi.scale(size);
    if (ScopedBitmap exact = resized(strip.get(), pixels * count, pixels)) strip = std::move(exact);
    ScopedImageList list(ImageList_Create(pixels, pixels, ILC_COLOR24 | ILC_MASK, count, 0));
    if (list) ImageList_AddMasked(list.get(), strip.get(), kTransparentColour);
    return list;
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return {0, 0};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

}  // namespace tarnix
