#pragma once
// "运行设置": start with Windows, connect automatically, always keep connected, and redial
// after a drop. The rules are RunOptionsForm's; this page moves them to and from its
// controls.

#include <filesystem>

#include "settings/RunOptionsForm.h"
#include "settings/SettingsDialogModel.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class RunOptionsPage : public Dialog, public SettingsPage {
  public:
    RunOptionsPage(ConfigStore& config, StartupRegistration& startup,
                   std::filesystem::path program);

    bool save(void* owner) override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

  private:
    void show(const RunOptionsFields& fields);
    RunOptionsFields read() const;
    void enableRedial(bool enabled) const;

    RunOptionsForm form_;
    bool filling_ = false;
};

}  // namespace tarnix
