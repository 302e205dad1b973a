#pragma once
// A progress bar.

#include <windows.h>

#include <commctrl.h>

#include "widgets/win/Control.h"

namespace tarnix {

class ProgressBar : public Control {
  public:
    using Control::Control;

    void setRange(int low, int high) const { send(PBM_SETRANGE32, low, high); }
    void setPosition(int position) const { send(PBM_SETPOS, position); }
    int position() const { return static_cast<int>(send(PBM_GETPOS)); }
    void setStep(int step) const { send(PBM_SETSTEP, step); }
    void step() const { send(PBM_STEPIT); }
};

}  // namespace tarnix
