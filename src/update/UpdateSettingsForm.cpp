#include "update/UpdateSettingsForm.h"

namespace tarnix {

int UpdateSettingsForm::load() {
    remembered_ = config_.GetUpdateCheck() ? kAutomatic : kManual;
    return remembered_;
}

void UpdateSettingsForm::save(int choice) {
    if (choice != kManual) choice = kAutomatic;
    if (choice == remembered_) return;
    config_.SetUpdateCheck(choice == kAutomatic);
    remembered_ = choice;
}

}  // namespace tarnix
