#pragma once
// The usage chart of the listed sessions: online hours above, traffic below, one bar per
// day of the month the filters name (per month of a year, per year otherwise). With a
// monthly allowance, a month's chart marks the even pace that uses it up (the allowance over
// the month's days: a bar above the line used more than a day's share); a year's marks the
// allowance itself.

#include "records/UsageAllowance.h"
#include "records/UsageChart.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class UsageChartDialog : public Dialog {
  public:
    explicit UsageChartDialog(UsageChart chart, UsageAllowance allowance = {});

  protected:
    BOOL onInitDialog() override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void draw(HDC dc, const RECT& area) const;

    UsageChart chart_;
    UsageAllowance allowance_;
    AccessibleSingle spoken_;  // the chart, as text
};

}  // namespace tarnix
