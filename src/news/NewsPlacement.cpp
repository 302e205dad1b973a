#include "news/NewsPlacement.h"

namespace tarnix {

ScreenPoint newsWindowPosition(const ScreenBox& main, const ScreenBox& news,
                               const ScreenBox& desktop) {
    int left = main.left - kNewsWindowGap - news.width();
    if (left + news.width() <= desktop.left) left = main.right + kNewsWindowGap;
    return {left, news.top};
}

}  // namespace tarnix
