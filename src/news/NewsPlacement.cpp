#include "news/NewsPlacement.h"

#include <algorithm>

namespace tarnix {

Point newsWindowPosition(const Rect& main, const Rect& news,
                               const Rect& desktop) {
    int left = main.left - kNewsWindowGap - news.width();
    if (left + news.width() <= desktop.left) left = main.right + kNewsWindowGap;
    int top = news.top;
    if (news.bottom <= desktop.top || news.top >= desktop.bottom)
        top = std::max(desktop.top, std::min(main.top, desktop.bottom - news.height()));
    return {left, top};
}

}  // namespace tarnix
