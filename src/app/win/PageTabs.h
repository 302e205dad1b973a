#pragma once
// The vertical tab control of the main window: one image per tab, a tooltip per tab, and
// the pages placed right of the column of tabs; one page shows at a time.

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "base/win/Scoped.h"

namespace tarnix {

class Dialog;

class PageTabs {
  public:
    // Takes over the tab control `tabs` of `owner`: images, item size, tooltips.
    void attach(HWND owner, HWND tabs, int tabCount);
    // Creates `page` as a child of the tab control and places it right of the tabs.
    void addPage(Dialog& page);
    // Places every page again, after the tab control was moved or resized.
    void fitPages();
    // Shows the page of tab `index` and hides the others.
    void select(int index);
    // The selection changed by the user: shows its page.
    void showSelected();
    HWND hwnd() const { return tabs_; }
    int selected() const;

  private:
    void place(HWND page);

    HWND owner_ = nullptr;
    HWND tabs_ = nullptr;
    HWND tooltips_ = nullptr;
    ScopedImageList images_;
    std::vector<HWND> pages_;
};

}  // namespace tarnix
