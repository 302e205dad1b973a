#pragma once
// "统计信息": the address, speed and counters of the dial entry's connection, the time
// since the newest session of the month began, an icon that tells whether data arrives
// and a graph of the rates of the last minutes, refreshed every second.

#include <filesystem>

#include "records/StatisticsModel.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class StatisticsDialog : public Dialog {
  public:
    // With an `allowance`, the window also shows the share of it used in this cycle.
    StatisticsDialog(LinkReadings& link, std::filesystem::path recordFolder,
                     Clock& clock = systemClock(), UsageAllowance allowance = {});

    const StatisticsModel& model() const { return model_; }
    // The icon shown beside the counters (a resource id), for the window's tests.
    int shownIcon() const { return shownIcon_; }

  protected:
    BOOL onInitDialog() override;
    void onTimer(UINT_PTR id) override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onDestroy() override;

  private:
    static constexpr UINT_PTR kTimer = 1;
    void showFields();

    StatisticsModel model_;
    int shownIcon_ = 0;
    AccessibleSingle graph_;  // the rate graph, as text
};

}  // namespace tarnix
