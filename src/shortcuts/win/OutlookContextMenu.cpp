#include "shortcuts/win/OutlookContextMenu.h"

#include "shortcuts_ids.h"

namespace tarnix {

namespace {
constexpr int kCommandIds[kOutlookCommandCount] = {ID_OUTLOOK_LARGE_ICONS, ID_OUTLOOK_SMALL_ICONS,
                                                   ID_OUTLOOK_ADD_FOLDER,  ID_OUTLOOK_DELETE_FOLDER,
                                                   ID_OUTLOOK_ADD_FILE,    ID_OUTLOOK_ADD_WEB,
                                                   ID_OUTLOOK_DELETE_FILE, ID_OUTLOOK_RENAME};
}

int outlookCommandId(OutlookCommand command) {
    return kCommandIds[static_cast<int>(command)];
}

bool outlookCommandOf(int id, OutlookCommand& command) {
    for (int i = 0; i < kOutlookCommandCount; ++i) {
        if (kCommandIds[i] == id) {
            command = static_cast<OutlookCommand>(i);
            return true;
        }
    }
    return false;
}

HMENU makeOutlookContextMenu(const OutlookMenuState& state) {
    const ScopedMenu bar(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_OUTLOOK_MENU)));
    if (!bar) return nullptr;
    // Detach the popup so that it outlives its bar.
    HMENU popup = GetSubMenu(bar.get(), 0);
    RemoveMenu(bar.get(), 0, MF_BYPOSITION);
    if (!popup) return nullptr;
    for (int i = 0; i < kOutlookCommandCount; ++i) {
        const bool on = state.enabled(static_cast<OutlookCommand>(i));
        EnableMenuItem(popup, kCommandIds[i], MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    }
    return popup;
}

std::unique_ptr<OwnerDrawnMenu> makeOwnerDrawnOutlookMenu(const OutlookMenuState& state) {
    auto menu = std::make_unique<OwnerDrawnMenu>(makeOutlookContextMenu(state));
    const HINSTANCE module = GetModuleHandleW(nullptr);
    for (auto [command, icon] : {std::pair{OutlookCommand::AddFolder, IDI_SHORTCUT_FOLDER},
                                 std::pair{OutlookCommand::AddFile, IDI_SHORTCUT_PROGRAM},
                                 std::pair{OutlookCommand::AddWebPage, IDI_SHORTCUT_WEB}}) {
        menu->setIcon(outlookCommandId(command),
                      ScopedIcon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(icon),
                                                               IMAGE_ICON, 16, 16, 0))));
    }
    return menu;
}

}  // namespace tarnix
