#pragma once
// A tab control that holds child-dialog pages (the fault check's details, the settings
// dialog and the main window's column of tabs): up to sixteen, each created as a child of
// the tab control, by default below the tab row, one shown at a time. The owner passes its
// WM_NOTIFY on, so a click on a tab shows its page; and its key messages, so that
// Ctrl+Tab and Ctrl+Shift+Tab (Ctrl+PageDown, Ctrl+PageUp) turn the pages from anywhere in
// the window, the arrows turn them on the focused tabs, and Tab walks from the tabs into
// the shown page and on. Screen readers hear each tab by its title, or by the name given for a tab
// that shows only an image.

#include <string>
#include <vector>

#include "widgets/TabPages.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class TabHost : private AccessibleSource {
  public:
    TabHost() = default;
    ~TabHost() override;
    TabHost(const TabHost&) = delete;
    TabHost& operator=(const TabHost&) = delete;

    // Where a page stands, from the tab control's client area and its first tab.
    using Placement = Rect (*)(const Rect& clientArea, const Rect& firstTab);

    // Before create(): adds a page, its tab showing `title` and image `image` of the tab
    // control's image list (none when negative), spoken as `spoken` when the title is
    // empty; false for a seventeenth.
    bool addPage(std::wstring title, Dialog& page, int image = -1, std::wstring spoken = {});
    // Before create(): pages other than the first are created when first selected, so
    // that a window shows without building what is hidden behind its tabs.
    void createPagesWhenShown() { whenShown_ = true; }
    // Creates the pages in the tab control `tabs` and inserts their tabs; the first shows.
    void create(HWND tabs, Placement placement = TabPages::placePage);
    // Places every page again, after the tab control was moved or resized.
    void fitPages() const;
    // The pages made so far, their controls and fonts, at the window's new DPI; then placed.
    // It follows by itself once the system has scaled the window around it (Windows tells
    // every child after a top-level window's change); a window that handles the change
    // itself calls it at once.
    void followDpi(Dpi to);
    // Shows page `index` and hides the current one; indices out of range are ignored.
    void select(int index);
    int selected() const { return pages_.selected(); }
    int count() const { return pages_.count(); }
    Dialog& page(int index) const { return *entries_.at(static_cast<std::size_t>(index)).page; }
    HWND hwnd() const { return tabs_; }

    // The owner's WM_NOTIFY: true when it was this control's change of selection.
    bool handleNotify(const NMHDR& header);
    // The owner's key messages, before the dialog's own handling: true when it was a key
    // that turns the page.
    bool handleKey(const MSG& msg);

  private:
    struct Entry {
        std::wstring title;
        Dialog* page;
        int image;
        std::wstring spoken;
    };
    void place(HWND page) const;
    // Creates page `index` if it has no window yet; false when it has none after.
    bool open(int index);
    // Selects tab `index` as a click on it would, telling the owner.
    void choose(int index);
    bool handleTab(bool back);
    HWND shownPage() const;
    HWND firstInPage(bool last) const;
    void moveFocus(HWND to) const;

    AccessiblePart describe(int child) const override;
    int partCount() const override { return count(); }
    int focusedPart() const override { return selected() + 1; }
    bool doDefaultAction(int child) override;

    static LRESULT CALLBACK dpiProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);

    HWND tabs_ = nullptr;
    Dpi dpi_;  // the pages' scale
    Placement placement_ = TabPages::placePage;
    bool whenShown_ = false;
    TabPages pages_;
    std::vector<Entry> entries_;
    AccessibleHook accessible_;
};

}  // namespace tarnix
