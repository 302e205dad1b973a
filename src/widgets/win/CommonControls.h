#pragma once
// Registers the common and rich-edit controls the program's templates use; once, at start.

namespace tarnix {

void initCommonControls();

}  // namespace tarnix
