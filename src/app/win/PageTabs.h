#pragma once
// The vertical tab control of the main window: a tab host whose tabs show an image each and
// a tooltip, and whose pages stand right of the column of tabs. A click never gives the
// tabs the focus (TCS_FOCUSNEVER), so the control draws no focus of its own; when the
// keyboard gives it to them, a dotted frame round the selected tab shows it.

#include <windows.h>

#include <commctrl.h>

#include <span>

#include "base/Dpi.h"
#include "base/win/Scoped.h"
#include "widgets/win/TabHost.h"

namespace tarnix {

class Dialog;

class PageTabs {
  public:
    // Takes over the tab control `tabs` of `owner` (images, item size, tooltips) and
    // puts `pages` in it, one per tab; the first is created and shown, each other when
    // its tab is first chosen.
    void create(HWND owner, HWND tabs, std::span<Dialog* const> pages);
    // Tabs and images at `dpi` (the owner's, after a change of DPI), the pages scaled and
    // placed again.
    void scaleTo(Dpi dpi);
    // Places every page again, after the tab control was moved or resized.
    void fitPages() const { host_.fitPages(); }
    void select(int index) { host_.select(index); }
    // The owner's WM_NOTIFY: true when it was the user's change of tab.
    bool handleNotify(const NMHDR& header) { return host_.handleNotify(header); }
    // The owner's key messages: true when Ctrl+Tab or the like turned the page.
    bool handleKey(const MSG& msg) { return host_.handleKey(msg); }
    HWND hwnd() const { return host_.hwnd(); }
    int selected() const { return host_.selected(); }

  private:
    void addTooltips(HWND owner, int count);
    void placeTooltips() const;
    static LRESULT CALLBACK focusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    static void paintFocus(HWND tabs, HDC dc);

    TabHost host_;
    ScopedImageList images_;
    HWND tooltips_ = nullptr;  // owned by the owner window
    int count_ = 0;
};

}  // namespace tarnix
