#include "records/win/RateGraph.h"

#include <string>
#include <vector>

#include "base/win/Scoped.h"
#include "records_ids.h"
#include "widgets/win/Strings.h"

namespace tarnix {
namespace {

constexpr COLORREF kBackground = RGB(16, 32, 48);
constexpr COLORREF kGrid = RGB(40, 72, 96);
constexpr COLORREF kReceived = RGB(60, 203, 79);
constexpr COLORREF kSent = RGB(240, 170, 40);
constexpr COLORREF kLabel = RGB(170, 190, 205);

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

// One line of the newest samples, right-aligned, one pixel a second, `top` bytes a second
// at the top line.
void drawRates(HDC dc, int width, int height, const RateHistory& history, uint64_t top,
               bool received, COLORREF colour) {
    if (history.size() < 2 || top == 0) return;
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
            height - 1 -
            static_cast<int>(static_cast<double>(rate) * (height - 3) / static_cast<double>(top));
        points.push_back({x, y});
    }
    ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard select(dc, pen.get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

// The scale at the top left ("200 KB/s" at the top line) and, at the top right, a stroke of
// each line's colour before its name.
void drawLabels(HDC dc, int width, uint64_t scale) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLabel);
    const std::wstring top = std::to_wstring(scale) + L" " + loadString(IDS_STAT_RATE_UNIT);
    TextOutW(dc, 3, 1, top.c_str(), static_cast<int>(top.size()));
    int right = width - 3;
    for (const auto& [name, colour] : {std::pair{loadString(IDS_STAT_RECEIVED_LEGEND), kReceived},
                                       std::pair{loadString(IDS_STAT_SENT_LEGEND), kSent}}) {
        SIZE size{};
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
        right -= size.cx;
        TextOutW(dc, right, 1, name.c_str(), static_cast<int>(name.size()));
        ScopedPen pen(CreatePen(PS_SOLID, 2, colour));
        SelectGuard select(dc, pen.get());
        const int y = 1 + size.cy / 2;
        MoveToEx(dc, right - 14, y, nullptr);
        LineTo(dc, right - 3, y);
        right -= 22;
    }
}

}  // namespace

void drawRateGraph(HDC target, const RECT& area, const RateHistory& history, HFONT font) {
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
    const uint64_t scale = RateHistory::scaleKilobytes(history.peak());
    drawRates(dc.get(), width, height, history, scale * 1024, false, kSent);
    drawRates(dc.get(), width, height, history, scale * 1024, true, kReceived);
    SelectGuard selectFont(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    drawLabels(dc.get(), width, scale);
    BitBlt(target, area.left, area.top, width, height, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace tarnix
