#include "records/win/RateGraph.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/win/Scoped.h"
#include "records_ids.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/Strings.h"

namespace tarnix {
namespace {

struct GraphColours {
    COLORREF background, grid, received, sent, label;
};
// In high contrast the system's colours, the two lines the text's and the highlight's.
GraphColours graphColours() {
    if (highContrast())
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_HIGHLIGHT),
                GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOWTEXT)};
    return {RGB(16, 32, 48), RGB(40, 72, 96), RGB(60, 203, 79), RGB(240, 170, 40),
            RGB(170, 190, 205)};
}

// A line's width at `dpi`: one pixel at 96 DPI, never thinner.
int lineWidth(Dpi dpi, int pixels) {
    return std::max(1, dpi.scale(pixels));
}

void drawGrid(HDC dc, int width, int height, Dpi dpi) {
    ScopedPen pen(CreatePen(PS_SOLID, lineWidth(dpi, 1), graphColours().grid));
    SelectGuard select(dc, pen.get());
    for (int y = height / 4; y<height; y += height / 4> 0 ? height / 4 : height) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
    }
    for (int x = width - 1; x > 0; x -= dpi.scale(30)) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, height);
    }
}

// One line of the newest samples, right-aligned, one pixel a second at 96 DPI, `top` bytes a
// second at the top line.
void drawRates(HDC dc, int width, int height, const RateHistory& history, uint64_t top,
               bool received, COLORREF colour, Dpi dpi) {
    if (history.size() < 2 || top == 0) return;
    const double step = dpi.value() / static_cast<double>(Dpi::kStandard);
    const size_t room = static_cast<size_t>(width / step);
    const size_t shown = history.size() < room ? history.size() : room;
    std::vector<POINT> points;
    points.reserve(shown);
    for (size_t i = 0; i < shown; ++i) {
        const RateSample& s = history.at(history.size() - shown + i);
        const uint64_t rate = received ? s.receivedPerSecond : s.sentPerSecond;
        const int x = width - static_cast<int>(static_cast<double>(shown - i) * step);
        // Two pixels of headroom at the top so the peak stays visible.
        const int y = height - 1 -
                      static_cast<int>(static_cast<double>(rate) * (height - 1 - dpi.scale(2)) /
                                       static_cast<double>(top));
        points.push_back({x, y});
    }
    ScopedPen pen(CreatePen(PS_SOLID, lineWidth(dpi, 1), colour));
    SelectGuard select(dc, pen.get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

// The scale at the top left ("200 KB/s" at the top line) and, at the top right, a stroke of
// each line's colour before its name.
void drawLabels(HDC dc, int width, uint64_t scale, Dpi dpi) {
    SetBkMode(dc, TRANSPARENT);
    const GraphColours colours = graphColours();
    SetTextColor(dc, colours.label);
    const std::wstring top = std::to_wstring(scale) + L" " + loadString(IDS_STAT_RATE_UNIT);
    const int margin = dpi.scale(3), line = dpi.scale(1);
    TextOutW(dc, margin, line, top.c_str(), static_cast<int>(top.size()));
    int right = width - margin;
    for (const auto& [name, colour] : {std::pair{loadString(IDS_STAT_RECEIVED_LEGEND), colours.received},
                                       std::pair{loadString(IDS_STAT_SENT_LEGEND), colours.sent}}) {
        SIZE size{};
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
        right -= size.cx;
        TextOutW(dc, right, line, name.c_str(), static_cast<int>(name.size()));
        ScopedPen pen(CreatePen(PS_SOLID, lineWidth(dpi, 2), colour));
        SelectGuard select(dc, pen.get());
        const int y = line + size.cy / 2;
        MoveToEx(dc, right - dpi.scale(14), y, nullptr);
        LineTo(dc, right - margin, y);
        right -= dpi.scale(22);
    }
}

}  // namespace

void drawRateGraph(HDC target, const RECT& area, const RateHistory& history, HFONT font, Dpi dpi) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    MemoryDC dc(target);
    ScopedBitmap canvas(CreateCompatibleBitmap(target, width, height));
    if (!dc || !canvas) return;
    SelectGuard selectCanvas(dc.get(), canvas.get());
    const GraphColours colours = graphColours();
    ScopedBrush background(CreateSolidBrush(colours.background));
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, background.get());
    drawGrid(dc.get(), width, height, dpi);
    const uint64_t scale = RateHistory::scaleKilobytes(history.peak());
    drawRates(dc.get(), width, height, history, scale * 1024, false, colours.sent, dpi);
    drawRates(dc.get(), width, height, history, scale * 1024, true, colours.received, dpi);
    SelectGuard selectFont(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    drawLabels(dc.get(), width, scale, dpi);
    BitBlt(target, area.left, area.top, width, height, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace tarnix
