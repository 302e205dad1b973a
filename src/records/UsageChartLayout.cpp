#include "records/UsageChartLayout.h"

#include <algorithm>

namespace tarnix {
namespace {

constexpr int kRowHeight = 14, kSideMargin = 4, kEdgeMargin = 2;
// The gap between the bands, above and below the middle.
constexpr int kAboveMiddle = 4, kBelowMiddle = 2;

UsageBandLayout layoutBand(const Rect& band, int bars, int row, Dpi dpi) {
    UsageBandLayout layout;
    layout.heading = {band.left, band.top, band.right, std::min(band.top + row, band.bottom)};
    layout.labels = {band.left, std::max(band.bottom - row, layout.heading.bottom), band.right,
                     band.bottom};
    layout.plot = {band.left, layout.heading.bottom, band.right, layout.labels.top};
    layout.slot = bars > 0 ? band.width() / bars : 0;
    layout.gap = std::max(1, dpi.scale(1));
    // A narrow slot is filled whole rather than left with no bar at all.
    if (layout.slot <= 2 * layout.gap + 1) layout.gap = 0;
    return layout;
}

}  // namespace

Rect UsageBandLayout::bar(int index, double share) const {
    const int left = plot.left + index * slot;
    const int tall = static_cast<int>(std::clamp(share, 0.0, 1.0) * plot.height());
    // The right edge keeps its one-pixel gap at 96 DPI, as the left does.
    return {left + std::max(gap, 1), plot.bottom - tall, left + slot - gap, plot.bottom};
}

Rect UsageBandLayout::label(int index) const {
    const int left = plot.left + index * slot;
    return {left, labels.top, left + slot, labels.bottom};
}

int UsageBandLayout::lineAt(double share) const {
    return plot.bottom - (share < 1 ? static_cast<int>(share * plot.height()) : plot.height());
}

UsageChartLayout layoutUsageChart(const Rect& area, int bars, int textHeight, Dpi dpi) {
    const int row = std::max(dpi.scale(kRowHeight), textHeight);
    const int side = dpi.scale(kSideMargin), edge = dpi.scale(kEdgeMargin);
    const int middle = (area.top + area.bottom) / 2;
    UsageChartLayout layout;
    layout.time = layoutBand({area.left + side, area.top + edge, area.right - side,
                              middle - dpi.scale(kAboveMiddle)},
                             bars, row, dpi);
    layout.traffic = layoutBand({area.left + side, middle + dpi.scale(kBelowMiddle),
                                 area.right - side, area.bottom - edge},
                                bars, row, dpi);
    layout.lineWidth = std::max(1, dpi.scale(1));
    return layout;
}

}  // namespace tarnix
