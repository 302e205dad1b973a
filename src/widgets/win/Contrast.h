#pragma once
// High contrast: the user asked for the system's colours everywhere. The parts the program
// paints itself (the caption, the backgrounds, the image buttons, the outlook bar, the
// charts) then draw with GetSysColor() instead of their art, so that nothing disappears.
// Each paint asks afresh, so a window shows the change at its next paint; the main window
// repaints itself whole on WM_SYSCOLORCHANGE and WM_SETTINGCHANGE.

#include <windows.h>

namespace tarnix {

// SPI_GETHIGHCONTRAST; also the setting as Windows keeps it in the user's registry, which
// is all a system without the live setting (Wine) has.
bool highContrast();

}  // namespace tarnix
