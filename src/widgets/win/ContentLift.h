#pragma once
// A page shorter than its controls need: the controls move up together, by no more than the
// room above the topmost of them, so that the lowest stays in view; on a taller page they go
// back down to where the template put them.

#include <windows.h>

#include "base/Dpi.h"

namespace tarnix {

class ContentLift {
  public:
    // The page is now `height` pixels high; `margin` stays free above and below.
    void fit(HWND page, int height, int margin);
    // The controls were scaled from `from` to `to` DPI, and their lift with them.
    void scale(Dpi from, Dpi to) { lifted_ = MulDiv(lifted_, to.value(), from.value()); }

  private:
    int lifted_ = 0;
};

}  // namespace tarnix
