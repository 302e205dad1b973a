#pragma once
// "关机设置": the scheduled log-off, restart or shutdown. The rules are ShutdownForm's; the
// pickers show the date and time in the form SetTime stores them.

#include "settings/SettingsDialogModel.h"
#include "settings/ShutdownForm.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class ShutdownPage : public Dialog, public SettingsPage {
  public:
    ShutdownPage(ConfigStore& config, Clock& clock);

    bool save(void* owner) override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;

  private:
    void show(const ShutdownFields& fields);
    ShutdownFields read() const;
    void enableFields(bool enabled) const;
    void changed();

    ShutdownForm form_;
    bool filling_ = false;
};

}  // namespace tarnix
