#pragma once
// The outlook bar's context menu: which of its eight commands apply where the right
// click was. The menu itself is a resource; the control greys out what is not enabled.

#include <array>

#include "shortcuts/OutlookBarLayout.h"

namespace tarnix {

// In the menu's order.
enum class OutlookCommand {
    LargeIcons,    // 大图标
    SmallIcons,    // 小图标
    AddFolder,     // 添加分组
    DeleteFolder,  // 删除分组
    AddFile,       // 添加文件
    AddWebPage,    // 添加网页
    DeleteFile,    // 删除文件
    Rename,        // 重命名
};
inline constexpr int kOutlookCommandCount = 8;

class OutlookMenuState {
  public:
    // `place` is the right click's hit; on a header, that folder is opened before the menu
    // shows, so `openFolder` is the folder the commands act on.
    OutlookMenuState(OutlookHit::Kind place, int openFolder, bool smallIcons);

    bool enabled(OutlookCommand command) const { return enabled_[static_cast<int>(command)]; }

  private:
    void grey(OutlookCommand command) { enabled_[static_cast<int>(command)] = false; }

    std::array<bool, kOutlookCommandCount> enabled_;
};

}  // namespace tarnix
