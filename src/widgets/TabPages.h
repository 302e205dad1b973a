#pragma once
// The rules of a tab host, apart from its windows: at most sixteen pages, the selection
// that ignores indices out of range, and where a page stands inside the tab control.

#include "base/Geometry.h"

namespace tarnix {

class TabPages {
  public:
    static constexpr int kMaxPages = 16;

    // Counts one more page; false (nothing counted) when there are sixteen already.
    bool add();
    int count() const { return count_; }
    // Selects page `index`; false, with the selection kept, when there is no such page or
    // it is selected already (nothing to show or hide).
    bool select(int index);
    int selected() const { return selected_; }
    // The page `step` pages on from the selected one, going round past either end.
    int neighbour(int step) const;

    // A page fills the tab control's client area below the tab row: from the first tab's
    // left edge, one pixel below the tab's bottom, to two pixels short of the area's right
    // and bottom edges. Never negative in size, however small the control.
    static Rect placePage(const Rect& clientArea, const Rect& firstTab);

  private:
    int count_ = 0;
    int selected_ = -1;
};

}  // namespace tarnix
