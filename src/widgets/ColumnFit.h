#pragma once
// Column widths of a report list that fit its width, so that no column is cut to "..." and
// no horizontal scroll bar hides the last one while the list has room for all.

#include <vector>

namespace tarnix {

struct ColumnSpan {
    int desired = 0;       // the width it gets when there is room
    int minimum = 0;       // what its header and typical cells need
    bool stretch = false;  // takes the room left over (at most one column)
};

// Each column gets at least its minimum and, room allowing, its desired width; when the
// desired widths do not fit `available`, the columns give up what they have above their
// minimum, each in proportion to that; room left over goes to the stretching column. When
// even the minimums do not fit, the columns keep their minimums.
std::vector<int> fitColumns(const std::vector<ColumnSpan>& columns, int available);

}  // namespace tarnix
