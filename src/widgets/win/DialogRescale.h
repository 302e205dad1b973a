#pragma once
// A dialog's controls at another DPI. Windows scales a top-level dialog when its monitor's
// scale changes, but not the pages inside a tab control (the dialog manager scales only a
// dialog's own controls), nor a window that handles the change itself. This scales the
// controls of such a dialog: their places and sizes from its client area's corner, and the
// ones in the dialog's font get that font at the new DPI.
//
// Threads: the dialog's.

#include <windows.h>

#include "base/Dpi.h"
#include "base/win/Scoped.h"

namespace tarnix {

class DialogRescale {
  public:
    // From `from` to `to` DPI; with `placeControls` false only the fonts (the caller places
    // the controls).
    void apply(HWND dialog, Dpi from, Dpi to, bool placeControls = true);

  private:
    ScopedFont font_;  // the dialog's font at a DPI other than the one it was made at
    Dpi made_;         // the DPI the dialog's own font was made at
    bool known_ = false;
};

}  // namespace tarnix
