#pragma once
// The outlook bar from the keyboard, apart from its window. The focus stands on a folder's
// header or on an item of the open folder; Up and Down (Left and Right alike) walk the bar
// as it is drawn: the headers down to the open folder's, its items, the headers below;
// Home and End go to either end. Enter and Space open the folder whose header has the focus
// or start the item; the context-menu key opens the menu of the part that has the focus.

namespace tarnix {

class OutlookBarModel;

struct OutlookFocus {
    enum Kind { Header, Item };
    Kind kind = Header;
    int index = 0;  // the folder of a header, the item of the open folder
    bool operator==(const OutlookFocus&) const = default;
};

enum class OutlookKey { Up, Down, Home, End };

// The focus after `key`; stays where it is at either end.
OutlookFocus moveFocus(const OutlookBarModel& model, OutlookFocus focus, OutlookKey key);
// A focus that still names a header or item of `model` (the model changed underneath it):
// the nearest one, the open folder's header when nothing nearer is left.
OutlookFocus keepFocusInside(const OutlookBarModel& model, OutlookFocus focus);

}  // namespace tarnix
