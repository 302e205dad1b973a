#include "records/win/RateGraph.h"

#include <vector>

#include "widgets/win/Scoped.h"

namespace tarnix {
namespace {

constexpr COLORREF kBackground = RGB(16, 32, 48);
constexpr COLORREF kGrid = RGB(40, 72, 96);
constexpr COLORREF kReceived = RGB(60, 203, 79);
constexpr COLORREF kSent = RGB(240, 170, 40);

void drawGrid(HDC dc, int width, int height) {
    ScopedPen pen(CreatePen(PS_SOLID, 1, kGrid));
    SelectGuard select(dc, pen.get());
    for (int y = height / 4; y<height; y += height / 4> 0 ? height / 4 : height) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
    }
    for (int x = width - 1; x > 0; x -= 30) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, height);
    }
}

// One line of the newest samples, right-aligned, one pixel a second.
void drawRates(HDC dc, int width, int height, const RateHistory& history, bool received,
               COLORREF colour) {
    const uint64_t peak = history.peak();
    if (history.size() < 2 || peak == 0) return;
    const size_t shown =
        history.size() < static_cast<size_t>(width) ? history.size() : static_cast<size_t>(width);
    std::vector<POINT> points;
    points.reserve(shown);
    for (size_t i = 0; i < shown; ++i) {
        const RateSample& s = history.at(history.size() - shown + i);
        const uint64_t rate = received ? s.receivedPerSecond : s.sentPerSecond;
        const int x = width - static_cast<int>(shown) + static_cast<int>(i);
        // Two pixels of headroom at the top so the peak stays visible.
        const int y =
            height - 1 - static_cast<int>(rate * static_cast<uint64_t>(height - 3) / peak);
        points.push_back({x, y});
    }
    ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard select(dc, pen.get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

}  // namespace

void drawRateGraph(HDC target, const RECT& area, const RateHistory& history) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    MemoryDC dc(target);
    ScopedBitmap canvas(CreateCompatibleBitmap(target, width, height));
    if (!dc || !canvas) return;
    SelectGuard selectCanvas(dc.get(), canvas.get());
    ScopedBrush background(CreateSolidBrush(kBackground));
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, background.get());
    drawGrid(dc.get(), width, height);
    drawRates(dc.get(), width, height, history, false, kSent);
    drawRates(dc.get(), width, height, history, true, kReceived);
    BitBlt(target, area.left, area.top, width, height, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace tarnix
