#include "widgets/TabPages.h"

#include <algorithm>

namespace tarnix {

bool TabPages::add() {
    if (count_ >= kMaxPages) return false;
    ++count_;
    if (selected_ < 0) selected_ = 0;
    return true;
}

bool TabPages::select(int index) {
    if (index < 0 || index >= count_ || index == selected_) return false;
    selected_ = index;
    return true;
}

Rect TabPages::placePage(const Rect& area, const Rect& firstTab) {
    Rect page;
    page.left = firstTab.left;
    page.top = firstTab.bottom + 1;
    page.right = std::max(page.left, area.right - 2);
    page.bottom = std::max(page.top, area.bottom - 2);
    return page;
}

int TabPages::neighbour(int step) const {
    if (count_ == 0) return -1;
    return ((selected_ + step) % count_ + count_) % count_;
}

}  // namespace tarnix
