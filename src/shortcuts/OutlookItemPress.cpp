#include "shortcuts/OutlookItemPress.h"

namespace tarnix {

bool OutlookItemPress::onItem(const OutlookHit& hit) const {
    return hit.kind == OutlookHit::Item && hit.index == item_;
}

OutlookPressView OutlookItemPress::moved(const OutlookHit& hit, int place) {
    if (!dragging_ && dragAllowed_ && !onItem(hit)) dragging_ = true;
    OutlookPressView view;
    if (dragging_) {
        view.dragging = true;
        view.place = place;
    } else {
        view.framePressed = onItem(hit);
    }
    return view;
}

OutlookRelease OutlookItemPress::released(const OutlookHit& hit, int place) const {
    if (!dragging_) {
        return onItem(hit) ? OutlookRelease{OutlookRelease::Click, item_, -1} : OutlookRelease{};
    }
    // Dropped back on its own place, or outside the item area: nothing moves.
    if (place < 0 || place == item_) return {};
    return {OutlookRelease::Move, item_, place};
}

}  // namespace tarnix
