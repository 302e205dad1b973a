#include "app/WorkAreaFit.h"

#include <algorithm>

namespace tarnix {
namespace {

// `low` and `high` of one axis moved, size kept, to stand between `from` and `to`; the low
// edge wins when the size exceeds the room.
void moveInside(int& low, int& high, int from, int to) {
    const int size = high - low;
    if (high > to) low = to - size;
    low = std::max(low, from);
    high = low + size;
}

}  // namespace

WorkAreaFit fitIntoWorkArea(const Rect& window, const Rect& work, int shrinkable) {
    WorkAreaFit fit{window, 0};
    if (work.width() <= 0 || work.height() <= 0) return fit;
    fit.shrink = std::clamp(window.height() - work.height(), 0, std::max(shrinkable, 0));
    fit.window.bottom -= fit.shrink;
    moveInside(fit.window.left, fit.window.right, work.left, work.right);
    moveInside(fit.window.top, fit.window.bottom, work.top, work.bottom);
    return fit;
}

}  // namespace tarnix
