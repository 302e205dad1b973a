#pragma once
// The DPI a window is shown at, and the system's metrics and fonts at a DPI. The per-monitor
// calls exist from Windows 10 1607 on; they are looked up in user32 when first asked for, and
// an older system answers with its one DPI (its own metrics are already at that DPI).

#include <windows.h>

#include "base/Dpi.h"

namespace tarnix {

// The window's DPI; the system's when the system cannot tell (or for no window).
Dpi dpiOf(HWND window);
Dpi systemDpi();

// GetSystemMetrics at `dpi`.
int metricAt(int index, Dpi dpi);

// The non-client metrics (caption, menu and message fonts) at `dpi`.
NONCLIENTMETRICSW nonClientMetricsAt(Dpi dpi);

}  // namespace tarnix
