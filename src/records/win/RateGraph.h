#pragma once
// Draws the receive and send rates of the last minutes as two lines over a dark grid, with
// a legend naming them and the scale of the top line in KB/s, a round rate at or above the
// highest shown; off-screen first so the timer's redraw never flickers.

#include <windows.h>

#include "base/Dpi.h"
#include "records/RateHistory.h"

namespace tarnix {

// Its sizes (a second's step, the grid, the legend) are those at 96 DPI scaled by `dpi`.
void drawRateGraph(HDC dc, const RECT& area, const RateHistory& history, HFONT font,
                   Dpi dpi = Dpi());

}  // namespace tarnix
