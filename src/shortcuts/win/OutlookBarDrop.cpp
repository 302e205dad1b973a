// Files dropped on the outlook bar from the shell: each becomes an item of the open folder.
#include "shortcuts/ShortcutRules.h"
#include "shortcuts/win/OutlookBarCtrl.h"
#include "shortcuts/win/ShellItems.h"
#include "base/CodePage.h"

namespace tarnix {

void OutlookBarCtrl::onDropFiles(const std::vector<std::wstring>& paths) {
    if (addDroppedFiles(paths) > 0 && onFilesDropped) onFilesDropped();
}

int OutlookBarCtrl::addDroppedFiles(const std::vector<std::wstring>& paths) {
    if (!model_.acceptsDroppedFiles()) return 0;
    int added = 0;
    for (const std::wstring& dropped : paths) {
        const std::wstring target = resolveShortcut(dropped);
        const std::string gbTarget = wideToGb(target);
        if (gbTarget.size() > kMaxTargetBytes) continue;  // an item could not keep it
        const int image = addShellIcon(target, small_, large_);
        if (image < 0) continue;
        OutlookItem item;
        item.image = image;
        item.caption = captionFromFileName(wideToGb(dropped));
        item.target = gbTarget;
        item.location = locationFromTarget(gbTarget);
        if (model_.insertItem(model_.openFolder(), -1, std::move(item)) >= 0) ++added;
    }
    redraw();
    return added;
}

}  // namespace tarnix
