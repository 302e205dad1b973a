#pragma once
// Draws the receive and send rates of the last minutes as two lines over a dark grid,
// scaled to the highest rate shown, off-screen first so the timer's redraw never flickers.

#include <windows.h>

#include "records/RateHistory.h"

namespace tarnix {

void drawRateGraph(HDC dc, const RECT& area, const RateHistory& history);

}  // namespace tarnix
