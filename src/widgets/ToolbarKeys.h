#pragma once
// A toolbar from the keyboard, apart from its window. While the toolbar has the focus one of
// its buttons is hot (drawn raised, as under the mouse); Left and Right (Up and Down alike)
// move it over the buttons that can be pressed, skipping separators and greyed buttons, and
// stop at either end; Home and End go to the first and the last.

#include <vector>

namespace tarnix {

enum class ToolbarKey { Previous, Next, First, Last };

// The hot button after `key`, from `hot` (-1: none); -1 when no button can be pressed.
// `pressable` holds one entry a button, separators included.
int moveHot(const std::vector<bool>& pressable, int hot, ToolbarKey key);
// A hot button that can still be pressed: `hot` itself, or the next one after it, or the
// one before it (a command greyed under the focus hands it on); -1 when none can be pressed.
int keepHot(const std::vector<bool>& pressable, int hot);

}  // namespace tarnix
