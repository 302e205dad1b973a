#pragma once
// Where the main window stands so that all of it is on a monitor: inside the monitor's work
// area, and no taller than it. A window taller than the work area gives up height from its
// page area (which lays out to what it gets), never from the toolbar, the connection lines
// or the status line.

#include "base/Geometry.h"

namespace tarnix {

struct WorkAreaFit {
    Rect window;     // the window's new rectangle
    int shrink = 0;  // pixels taken from the page area
};

// `window` at its full height; `shrinkable`: how many pixels the page area can give up.
// A window still taller or wider than the work area keeps its top left corner on it.
WorkAreaFit fitIntoWorkArea(const Rect& window, const Rect& work, int shrinkable);

}  // namespace tarnix
