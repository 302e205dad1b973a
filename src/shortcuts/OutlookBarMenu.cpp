#include "shortcuts/OutlookBarMenu.h"

namespace tarnix {

OutlookMenuState::OutlookMenuState(OutlookHit::Kind place, int openFolder, bool smallIcons) {
    enabled_.fill(true);
    using C = OutlookCommand;
    if (place == OutlookHit::Item) {
        // An item offers only what acts on the item.
        for (C c : {C::AddFolder, C::DeleteFolder, C::LargeIcons, C::SmallIcons, C::AddFile,
                    C::AddWebPage}) {
            grey(c);
        }
        return;
    }
    if (place == OutlookHit::Header) {
        grey(C::LargeIcons);
        grey(C::SmallIcons);
    } else {
        grey(C::Rename);
        grey(smallIcons ? C::SmallIcons : C::LargeIcons);
    }
    grey(C::DeleteFile);
    // The drives' folder and "常用软件" are fixed: neither is deleted or renamed, and the
    // drives' folder takes no shortcuts.
    if (openFolder == 0) {
        for (C c : {C::DeleteFolder, C::AddFile, C::AddWebPage, C::Rename}) grey(c);
    } else if (openFolder == 1) {
        grey(C::DeleteFolder);
        grey(C::Rename);
    }
}

}  // namespace tarnix
