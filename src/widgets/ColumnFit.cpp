#include "widgets/ColumnFit.h"

#include <algorithm>
#include <numeric>

namespace tarnix {

std::vector<int> fitColumns(const std::vector<ColumnSpan>& columns, int available) {
    std::vector<int> widths;
    for (const ColumnSpan& c : columns) widths.push_back(std::max({c.desired, c.minimum, 0}));
    const long long total = std::accumulate(widths.begin(), widths.end(), 0LL);
    if (total > available) {
        long long slack = 0;
        for (size_t i = 0; i < columns.size(); ++i)
            slack += widths[i] - std::max(columns[i].minimum, 0);
        const long long excess = std::min(total - available, slack);
        long long cut = 0;
        for (size_t i = 0; i < columns.size() && slack > 0; ++i) {
            const long long own = widths[i] - std::max(columns[i].minimum, 0);
            // Rounded up, so that the cuts reach the excess; the last ones take less.
            const long long share =
                std::min({(excess * own + slack - 1) / slack, own, excess - cut});
            widths[i] -= static_cast<int>(share);
            cut += share;
        }
    } else {
        auto stretch = std::find_if(columns.begin(), columns.end(),
                                    [](const ColumnSpan& c) { return c.stretch; });
        if (stretch != columns.end())
            widths[static_cast<size_t>(stretch - columns.begin())] +=
                static_cast<int>(available - total);
    }
    return widths;
}

}  // namespace tarnix
