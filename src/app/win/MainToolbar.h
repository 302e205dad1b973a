#pragma once
// The main window's toolbar: four 48-pixel buttons (connect, disconnect, settings, update)
// with normal, hot and disabled images, tooltips from the string table.

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace tarnix {

class MainToolbar {
  public:
    ~MainToolbar();

    // Creates the toolbar at the top of `owner`'s client area. The two failures are told
    // to the user and the window goes on without the toolbar or its buttons.
    void create(HWND owner);
    HWND hwnd() const { return toolbar_; }
    // Height of the toolbar, 0 when there is none.
    int height() const;

  private:
    bool loadButtons();
    void loadImages();

    HWND toolbar_ = nullptr;
    HIMAGELIST normal_ = nullptr, hot_ = nullptr, disabled_ = nullptr;
};

// The tooltip of a command or tool: its string resource, from after the first line feed
// if there is one, at most 79 characters.
std::wstring commandTip(UINT id);

}  // namespace tarnix
