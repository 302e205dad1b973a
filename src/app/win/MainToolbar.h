#pragma once
// The main window's toolbar: four 48-pixel (at 96 DPI) buttons (connect, disconnect, settings,
// update) with normal, hot and disabled images, tooltips from the string table. Screen
// readers hear each button by its tooltip.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "base/Dpi.h"
#include "base/win/Scoped.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Toolbar.h"

namespace tarnix {

class MainToolbar : private AccessibleSource {
  public:
    // Creates the toolbar at the top of `owner`'s client area. The two failures are told
    // to the user and the window goes on without the toolbar or its buttons.
    void create(HWND owner);
    // Buttons and images at `dpi` (the owner's, after a change of DPI).
    void scaleTo(Dpi dpi);
    HWND hwnd() const { return toolbar_.hwnd(); }
    void enable(int command, bool enabled) const {
        if (!toolbar_) return;
        toolbar_.enableButton(command, enabled);
        accessible_.notify(EVENT_OBJECT_STATECHANGE, indexOf(command) + 1);
    }
    // Height of the toolbar, 0 when there is none.
    int height() const;

  private:
    bool loadButtons();
    void loadImages(Dpi dpi);
    int indexOf(int command) const;

    AccessiblePart describe(int child) const override;
    int partCount() const override;
    bool doDefaultAction(int child) override;

    Toolbar toolbar_;
    ScopedImageList normal_, hot_, disabled_;
    AccessibleHook accessible_;
};

// The tooltip of a command or tool: its string resource, from after the first line feed
// if there is one, at most 79 characters.
std::wstring commandTip(UINT id);

}  // namespace tarnix
