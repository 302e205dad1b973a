#pragma once
// The client area of a window as it paints itself (WM_PRINTCLIENT) into memory, for tests
// that check what a window draws.
#include <windows.h>

#include <functional>
#include <vector>

#include "widgets/win/Scoped.h"

namespace tarnix::testing {

struct Snapshot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    int count(const std::function<bool(COLORREF)>& test) const {
        int n = 0;
        for (COLORREF p : pixels) n += test(p) ? 1 : 0;
        return n;
    }
};

// What `paint` draws into a `width` by `height` memory canvas.
inline Snapshot snapshotOf(int width, int height, const std::function<void(HDC)>& paint) {
    Snapshot shot{width, height, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    MemoryDC dc(nullptr);
    ScopedBitmap canvas(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!canvas || !bits) return shot;
    SelectGuard selected(dc.get(), canvas.get());
    paint(dc.get());
    GdiFlush();
    const auto* words = static_cast<const DWORD*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i)
        shot.pixels.push_back(RGB(words[i] >> 16 & 0xFF, words[i] >> 8 & 0xFF, words[i] & 0xFF));
    return shot;
}

inline Snapshot snapshot(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return snapshotOf(client.right, client.bottom, [window](HDC dc) {
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

}  // namespace tarnix::testing
