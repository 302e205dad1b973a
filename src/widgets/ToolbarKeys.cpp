#include "widgets/ToolbarKeys.h"

namespace tarnix {
namespace {

// The first pressable button from `from` on in steps of `step` (+1 or -1); -1 when none.
int findPressable(const std::vector<bool>& pressable, int from, int step) {
    const int count = static_cast<int>(pressable.size());
    for (int i = from; i >= 0 && i < count; i += step)
        if (pressable[static_cast<std::size_t>(i)]) return i;
    return -1;
}

}  // namespace

int moveHot(const std::vector<bool>& pressable, int hot, ToolbarKey key) {
    const int count = static_cast<int>(pressable.size());
    if (hot < -1 || hot >= count) hot = -1;
    int to = -1;
    switch (key) {
        case ToolbarKey::First:
            to = findPressable(pressable, 0, 1);
            break;
        case ToolbarKey::Last:
            to = findPressable(pressable, count - 1, -1);
            break;
        case ToolbarKey::Next:
            to = findPressable(pressable, hot + 1, 1);
            break;
        case ToolbarKey::Previous:
            to = hot < 0 ? findPressable(pressable, count - 1, -1)
                         : findPressable(pressable, hot - 1, -1);
            break;
    }
    // At either end the hot button stays, or, if it cannot be pressed, gives way.
    return to >= 0 ? to : keepHot(pressable, hot);
}

int keepHot(const std::vector<bool>& pressable, int hot) {
    const int count = static_cast<int>(pressable.size());
    if (hot < 0 || hot >= count) return findPressable(pressable, 0, 1);
    const int after = findPressable(pressable, hot, 1);
    return after >= 0 ? after : findPressable(pressable, hot, -1);
}

}  // namespace tarnix
