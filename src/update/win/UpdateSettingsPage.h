#pragma once
// "升级设置": automatic or manual update check, each with its note. The rules are
// UpdateSettingsForm's.

#include "settings/SettingsDialogModel.h"
#include "settings/win/SettingsPageSlot.h"
#include "update/UpdateSettingsForm.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class UpdateSettingsPage : public Dialog, public SettingsPage {
  public:
    explicit UpdateSettingsPage(ConfigStore& config);

    bool save(void* owner) override;
    int choice() const { return choice_; }

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

  private:
    UpdateSettingsForm form_;
    int choice_ = UpdateSettingsForm::kAutomatic;
};

// The page as the settings dialog takes it (SettingsDialog::Services::updatePage).
OwnedSettingsPage makeUpdatePage(ConfigStore& config);

}  // namespace tarnix
