#pragma once
// The client area of a window as it paints itself (WM_PRINTCLIENT) into memory, for tests
// that check what a window draws; and pictures of the screen for the README.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/win/Scoped.h"

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

// With TARNIX_SHOTS set to a folder, `area` of the screen as it shows now goes into
// FOLDER/NAME.bmp (the pictures of the README are made so); nothing otherwise.
inline void saveScreenArea(const RECT& area, const char* name) {
    const char* folder = std::getenv("TARNIX_SHOTS");
    if (!folder || !*folder) return;
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    const Snapshot shot = snapshotOf(width, height, [&](HDC dc) {
        BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
    const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::vector<char> bits(static_cast<std::size_t>(row) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = shot.at(x, height - 1 - y);  // the file's rows bottom up
            char* p = &bits[static_cast<std::size_t>(y) * row + x * 3];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = offset + static_cast<DWORD>(bits.size());
    file.bfOffBits = offset;
    std::ofstream out(std::filesystem::path(folder) / (std::string(name) + ".bmp"),
                      std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
}

}  // namespace tarnix::testing
