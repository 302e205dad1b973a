#pragma once
// The outlook bar's context menu from its resource, with what does not apply greyed out,
// drawn in the program's look with the icons of what the add commands add.

#include <windows.h>

#include <memory>

#include "shortcuts/OutlookBarMenu.h"
#include "widgets/win/OwnerDrawnMenu.h"

namespace tarnix {

// The command id of each entry, in OutlookCommand's order.
int outlookCommandId(OutlookCommand command);
// The command an id stands for; false for another id.
bool outlookCommandOf(int id, OutlookCommand& command);

// The menu's popup, ready to track; the caller destroys it. Null when the resource is
// missing.
HMENU makeOutlookContextMenu(const OutlookMenuState& state);

// The owner-drawn menu over makeOutlookContextMenu(); its handle is null when the
// resource is missing.
std::unique_ptr<OwnerDrawnMenu> makeOwnerDrawnOutlookMenu(const OutlookMenuState& state);

}  // namespace tarnix
