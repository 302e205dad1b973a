#pragma once
// OwnerDrawnMenu: a popup menu that draws its own entries in the program's look: the
// menus' light blue behind them, a column for icons at the left, the entry under the mouse
// in the outlook bar's blue with a frame, greyed entries in the system's grey text with
// their icon drawn disabled, separators as an etched line. Greying stays the menu's own
// state (EnableMenuItem), so callers grey entries as in any menu.
//
// While track() runs, the owner window is subclassed so that the menu's WM_MEASUREITEM
// and WM_DRAWITEM reach this object; nothing is asked of the owner's own procedure.
// UI thread only. The object owns the menu and destroys it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win/Scoped.h"

namespace tarnix {

class OwnerDrawnMenu {
  public:
    static constexpr COLORREF kBackground = RGB(183, 207, 255);
    static constexpr COLORREF kIconColumn = RGB(160, 190, 245);
    static constexpr COLORREF kSelected = RGB(120, 174, 236);
    static constexpr COLORREF kSelectedFrame = RGB(50, 100, 180);
    static constexpr int kIconColumnWidth = 24;

    // Takes `popup` over and makes each of its entries owner-drawn, keeping its text.
    explicit OwnerDrawnMenu(HMENU popup);
    OwnerDrawnMenu(const OwnerDrawnMenu&) = delete;
    OwnerDrawnMenu& operator=(const OwnerDrawnMenu&) = delete;

    HMENU handle() const { return menu_.get(); }
    // The icon drawn beside `command` (16×16; the menu keeps it).
    void setIcon(int command, ScopedIcon icon);

    // Shows the menu at the screen point; the command chosen, 0 when none was.
    int track(HWND owner, POINT screen);

    // The menu's WM_MEASUREITEM and WM_DRAWITEM; false for anything else (another menu's,
    // a control's). track() passes them on; tests call it directly.
    bool handleMessage(UINT msg, LPARAM lParam);

  private:
    struct Entry {
        int command = 0;
        std::wstring text;
        bool separator = false;
        ScopedIcon icon;
    };
    static LRESULT CALLBACK ownerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    const Entry* entryOf(ULONG_PTR data) const;
    void measure(MEASUREITEMSTRUCT& item) const;
    void draw(const DRAWITEMSTRUCT& item) const;

    ScopedMenu menu_;
    ScopedFont font_;
    std::vector<std::unique_ptr<Entry>> entries_;  // the entries' item data point here
};

}  // namespace tarnix
