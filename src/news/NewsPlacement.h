#pragma once
// Where the news window stands: just left of the main window, its right edge 30 pixels
// from the main window's left edge, at the top and size it was made with.

#include "base/Geometry.h"

namespace tarnix {

inline constexpr int kNewsWindowGap = 30;

// The news window's new top-left corner. `desktop` is the whole virtual screen. Beside a
// main window at the screen's left edge it may stand partly off screen; where it would
// stand wholly off screen, out of the user's reach, it goes 30 pixels right of the main
// window instead. Made beside a main window slid up out of sight or hidden in the tray, it
// would stand wholly above or below the screen: it then takes the main window's top, kept
// on the screen.
Point newsWindowPosition(const Rect& main, const Rect& news,
                               const Rect& desktop);

}  // namespace tarnix
