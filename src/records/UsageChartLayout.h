#pragma once
// Where the usage chart draws, apart from its window: two bands, the hours above and the
// traffic below, each with a heading row (its title and the tallest bar's value), the bars,
// and a row of labels under them. Every size is one at 96 DPI scaled by the window's DPI,
// and a row of text is never lower than the text it holds, so that at any scale and with
// any font the labels neither overlap the bars nor the other band's heading.

#include "base/Dpi.h"
#include "base/Geometry.h"

namespace tarnix {

struct UsageBandLayout {
    Rect heading;  // the title's row; the text starts at its top left
    Rect plot;     // the bars stand on its bottom; the tallest reaches its top
    Rect labels;   // the row under the bars
    int slot = 0;  // the width given to each bar and its label
    int gap = 0;   // the space on either side of a bar

    // Bar `index`, `share` (0..1) of the plot's height tall.
    Rect bar(int index, double share) const;
    Rect label(int index) const;
    // Where a line `share` of the plot's height up crosses it; at the top for more than all.
    int lineAt(double share) const;
    // Room for the bars: false when the chart is too small to draw them.
    bool drawable() const { return slot > 0 && plot.height() > 0; }
};

struct UsageChartLayout {
    UsageBandLayout time, traffic;
    int lineWidth = 1;  // the allowance's line
};

// The layout of `bars` bars in `area`, with text `textHeight` pixels high.
UsageChartLayout layoutUsageChart(const Rect& area, int bars, int textHeight, Dpi dpi);

}  // namespace tarnix
