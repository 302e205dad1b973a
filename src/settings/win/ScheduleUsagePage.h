#pragma once
// "定时与用量": the daily reconnect and the monthly allowance. The rules are
// ScheduleUsageForm's.

#include "settings/ScheduleUsageForm.h"
#include "settings/SettingsDialogModel.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class ScheduleUsagePage : public Dialog, public SettingsPage {
  public:
    explicit ScheduleUsagePage(ConfigStore& config);

    bool save(void* owner) override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;

  private:
    ScheduleUsageFields read() const;
    void changed();

    ScheduleUsageForm form_;
    bool filling_ = false;
};

}  // namespace tarnix
