#pragma once
// How a settings page tells its dialog that one of its controls changed: the change
// message with wParam 1 to the page's top-level window, which then enables "应用".

#include <windows.h>

#include "settings/SettingsDialogModel.h"

namespace tarnix {

inline void tellSettingsChanged(HWND page) {
    if (HWND dialog = GetAncestor(page, GA_ROOT); dialog && dialog != page)
        SendMessageW(dialog, SettingsDialogModel::kChangedMessage, 1, 0);
}

// Set while a page fills its controls, so that filling them is not taken for a change.
class FillingControls {
  public:
    explicit FillingControls(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FillingControls() { flag_ = before_; }
    FillingControls(const FillingControls&) = delete;
    FillingControls& operator=(const FillingControls&) = delete;

  private:
    bool& flag_;
    bool before_;
};

}  // namespace tarnix
