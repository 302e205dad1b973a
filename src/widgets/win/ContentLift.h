#pragma once
// A page shorter than its controls need: the controls move up together, by no more than the
// room above the topmost of them, so that the lowest stays in view; on a taller page they go
// back down to where the template put them.

#include <windows.h>

namespace tarnix {

class ContentLift {
  public:
    // The page is now `height` pixels high; `margin` stays free above and below.
    void fit(HWND page, int height, int margin);

  private:
    int lifted_ = 0;
};

}  // namespace tarnix
