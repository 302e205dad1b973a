#pragma once
// The main window's toolbar: four 48-pixel (at 96 DPI) buttons (connect, disconnect, settings,
// update) with normal, hot and disabled images, tooltips from the string table. Screen
// readers hear each button by its tooltip. It is a stop of the window's Tab cycle: with the
// focus on it the arrows, Home and End move the hot button and Enter or Space presses it.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "base/Dpi.h"
#include "base/win/Scoped.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Toolbar.h"

namespace tarnix {

class MainToolbar : private AccessibleSource {
  public:
    MainToolbar() = default;
    ~MainToolbar() override;
    MainToolbar(const MainToolbar&) = delete;
    MainToolbar& operator=(const MainToolbar&) = delete;

    // Creates the toolbar at the top of `owner`'s client area. The two failures are told
    // to the user and the window goes on without the toolbar or its buttons.
    void create(HWND owner);
    // Buttons and images at `dpi` (the owner's, after a change of DPI).
    void scaleTo(Dpi dpi);
    HWND hwnd() const { return toolbar_.hwnd(); }
    void enable(int command, bool enabled);
    // Height of the toolbar, 0 when there is none.
    int height() const;

  private:
    bool loadButtons();
    void loadImages(Dpi dpi);
    int indexOf(int command) const;

    // The keyboard (MainToolbarKeyboard.cpp).
    static LRESULT CALLBACK keyboardProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    bool onKeyboard(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool onKey(WPARAM key);
    std::vector<bool> pressable() const;
    bool focused() const { return toolbar_ && GetFocus() == toolbar_.hwnd(); }
    void setHot(int index);

    AccessiblePart describe(int child) const override;
    int partCount() const override;
    int focusedPart() const override;
    bool doDefaultAction(int child) override;

    Toolbar toolbar_;
    ScopedImageList normal_, hot_, disabled_;
    AccessibleHook accessible_;
    int keyHot_ = -1;  // the button the keyboard left hot when the focus went
};

// The tooltip of a command or tool: its string resource, from after the first line feed
// if there is one, at most 79 characters.
std::wstring commandTip(UINT id);

}  // namespace tarnix
