#include "settings/SettingsDialogModel.h"

namespace tarnix {

void SettingsDialogModel::attach(SettingsPageId id, SettingsPage& page) {
    pages_[static_cast<std::size_t>(id)] = &page;
}

bool SettingsDialogModel::apply(void* owner) {
    bool saved = true;
    for (SettingsPageId id : kSaveOrder) {
        if (SettingsPage* page = pages_[static_cast<std::size_t>(id)]) {
            saved = page->save(owner) && saved;
        }
    }
    if (saved) dirty_ = false;
    return saved;
}

bool SettingsDialogModel::ok(void* owner) {
    return !dirty_ || apply(owner);
}

}  // namespace tarnix
