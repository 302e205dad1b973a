#pragma once
// The settings dialog's "升级设置" page comes from the update subsystem. The dialog asks for
// it through makeUpdatePage(), so that the page is joined to the dialog in one place; while
// there is none, the tab shows an empty page.

#include <memory>

#include "settings/SettingsDialogModel.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class ConfigStore;

// A page the settings dialog owns: its window, and the same object as the dialog saves it.
struct OwnedSettingsPage {
    std::unique_ptr<Dialog> window;
    SettingsPage* saved = nullptr;
};

// Wraps a page class that is both a Dialog and a SettingsPage.
template <class Page>
OwnedSettingsPage ownPage(std::unique_ptr<Page> page) {
    SettingsPage* saved = page.get();
    return {std::move(page), saved};
}

// The "升级设置" page over the configuration store; an empty slot when there is none.
OwnedSettingsPage makeUpdatePage(ConfigStore& config);

}  // namespace tarnix
