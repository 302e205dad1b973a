#include "update/win/UpdateSettingsPage.h"

#include "settings/win/PageChange.h"
#include "update_ids.h"

namespace tarnix {

UpdateSettingsPage::UpdateSettingsPage(ConfigStore& config)
    : Dialog(IDD_UPDATE_SETTINGS), form_(config) {}

BOOL UpdateSettingsPage::onInitDialog() {
    choice_ = form_.load();
    setChecked(IDC_UPDATE_AUTOMATIC, choice_ == UpdateSettingsForm::kAutomatic);
    setChecked(IDC_UPDATE_MANUAL, choice_ == UpdateSettingsForm::kManual);
    return TRUE;
}

bool UpdateSettingsPage::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_UPDATE_AUTOMATIC) {
        choice_ = UpdateSettingsForm::kAutomatic;
    } else if (id == IDC_UPDATE_MANUAL) {
        choice_ = UpdateSettingsForm::kManual;
    } else {
        return false;
    }
    tellSettingsChanged(hwnd());
    return true;
}

bool UpdateSettingsPage::save(void*) {
    // A page never shown has nothing chosen to save.
    if (hwnd()) form_.save(choice_);
    return true;
}

OwnedSettingsPage makeUpdatePage(ConfigStore& config) {
    return ownPage(std::make_unique<UpdateSettingsPage>(config));
}

}  // namespace tarnix
