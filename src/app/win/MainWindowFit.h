#pragma once
// The main window's size at any DPI, and wholly on the work area of its monitor.
//
// The window is as large as the DPI says of its size at 96 DPI, its controls where the
// template puts them in proportion: a dialog font's own growth follows its hinting (under Wine
// 1.42 times at 150 %), and a window must be exactly 1.5 times as wide at 150 %.
// When the work area is shorter than the window, the page area (the tab control) gives up the
// height and the lines below it move up with the window's bottom, so that the toolbar, the
// tabs, the connection lines and the status line stay in view; when there is room again the
// page area gets it back.

#include <windows.h>

#include <functional>
#include <vector>

#include "base/Dpi.h"

namespace tarnix {

class MainWindowFit {
  public:
    using WorkArea = std::function<RECT(HWND window)>;

    // Takes the layout of `window`'s controls as it stands (the template's) in proportion to
    // its client area. `workArea` empty: the work area of the monitor nearest the window.
    void attach(HWND window, HWND pageArea, WorkArea workArea = {});
    // The client area and the controls at `dpi`, the page area at its full height.
    void scaleTo(Dpi dpi);
    // Onto the work area of the monitor nearest the window (the primary one when the window's
    // monitor is gone). A window that may not move (docked) only gives up height. True when
    // the page area changed size.
    bool fit(Dpi dpi, bool move);
    int shrink() const { return shrink_; }

  private:
    struct Share {
        HWND control;
        double left, top, right, bottom;  // of the client area's width and height
    };
    void shrinkTo(int shrink);

    HWND window_ = nullptr;
    HWND pageArea_ = nullptr;
    WorkArea workArea_;
    std::vector<Share> layout_;
    int shrink_ = 0;
};

}  // namespace tarnix
