#pragma once
// A page of the settings dialog that another subsystem makes: "升级设置" comes from the
// update subsystem, which builds on the settings dialog's page interface. The dialog is
// handed a maker for it (the main window passes the update subsystem's), so settings never
// reaches up into update; without a maker, the tab shows an empty page.

#include <functional>
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

// Makes a page over the configuration store.
using SettingsPageMaker = std::function<OwnedSettingsPage(ConfigStore& config)>;

}  // namespace tarnix
