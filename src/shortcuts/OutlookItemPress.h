#pragma once
// OutlookItemPress: one press of the mouse on an item of the outlook bar, from the button
// going down to its release. Moving off the item starts a drag when items can be dragged;
// otherwise the pressed frame just follows whether the mouse is on the item. The release
// decides between a click, a move and nothing; the control carries it out on the model
// (clickItem, moveItem), which asks the owner.

#include "shortcuts/OutlookBarLayout.h"

namespace tarnix {

// What the control shows while the button is down.
struct OutlookPressView {
    bool framePressed = false;  // the item's frame drawn sunken
    bool dragging = false;      // the drag cursor, or the refusing one when place is -1
    int place = -1;             // dragging: where the insertion mark stands
};

// What the release does.
struct OutlookRelease {
    enum Kind { Nothing, Click, Move };
    Kind kind = Nothing;
    int item = -1;
    int place = -1;  // Move: the drop place for OutlookBarModel::moveItem
    bool operator==(const OutlookRelease&) const = default;
};

class OutlookItemPress {
  public:
    OutlookItemPress(int item, bool dragAllowed) : item_(item), dragAllowed_(dragAllowed) {}

    int item() const { return item_; }
    bool dragging() const { return dragging_; }

    // The mouse moved to a point with this hit and drop place (OutlookBarLayout's).
    OutlookPressView moved(const OutlookHit& hit, int place);
    // The button went up there.
    OutlookRelease released(const OutlookHit& hit, int place) const;

  private:
    bool onItem(const OutlookHit& hit) const;

    int item_;
    bool dragAllowed_;
    bool dragging_ = false;
};

}  // namespace tarnix
