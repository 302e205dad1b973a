#pragma once
// The outlook bar's context menu from its resource, with what does not apply greyed out.

#include <windows.h>

#include "shortcuts/OutlookBarMenu.h"

namespace tarnix {

// The command id of each entry, in OutlookCommand's order.
int outlookCommandId(OutlookCommand command);
// The command an id stands for; false for another id.
bool outlookCommandOf(int id, OutlookCommand& command);

// The menu's popup, ready to track; the caller destroys it. Null when the resource is
// missing.
HMENU makeOutlookContextMenu(const OutlookMenuState& state);

}  // namespace tarnix
