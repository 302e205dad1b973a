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

inline Snapshot snapshot(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Snapshot shot{client.right, client.bottom, {}};
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
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    GdiFlush();
    const auto* words = static_cast<const DWORD*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i)
        shot.pixels.push_back(RGB(words[i] >> 16 & 0xFF, words[i] >> 8 & 0xFF, words[i] & 0xFF));
    return shot;
}

}  // namespace tarnix::testing
