#include "shortcuts/win/OpenSoftLauncher.h"

#include "shortcuts/OpenSoftList.h"
#include "shortcuts/win/ShellItems.h"

namespace tarnix {

int openSoftListEntries(const std::filesystem::path& programFolder) {
    OpenSoftList list(OpenSoftList::fileIn(programFolder));
    if (!list.load()) return 0;
    int opened = 0;
    for (const OpenSoftLaunch& launch : list.launches()) {
        const int show = launch.show == OpenSoftShow::NoActivate ? SW_SHOWNA : SW_SHOWNORMAL;
        if (shellRun({launch.path, {}, "open", show})) ++opened;
    }
    return opened;
}

}  // namespace tarnix
