#pragma once
// Edge docking applied to a window: dragged near a screen edge it snaps to it; docked, it
// slides out of sight when the mouse leaves and back when the mouse touches the strip it
// leaves. The geometry is EdgeDock's; this class feeds it the window's messages and keeps
// its two timers (1: the cursor watch, 2: the slide).

#include <windows.h>

#include "app/EdgeDock.h"

namespace tarnix {

class WindowDocking {
  public:
    // Measures the taskbar and the frame for `window`.
    void attach(HWND window);
    // The metrics again at the window's new DPI.
    void scaleTo(Dpi dpi);
    // Handles WM_MOVING and the two timers; true when the message is consumed (with
    // `result`). Watches WM_NCHITTEST but leaves it to the default handling.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window comes back from the tray: a docked window slides in.
    void slideIn();
    // The window was minimised: no watching, no sliding.
    void stop();

    const EdgeDock& state() const { return dock_; }

  private:
    bool moving(RECT& proposed);
    void hitTest(LPARAM point);
    void watchCursor();
    void slideStep();

    HWND window_ = nullptr;
    EdgeDock dock_;
};

}  // namespace tarnix
