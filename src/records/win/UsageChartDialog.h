#pragma once
// The usage chart of the listed sessions: online hours above, traffic below, one bar per
// day of the month the filters name (per month of a year, per year otherwise).

#include "records/UsageChart.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class UsageChartDialog : public Dialog {
  public:
    explicit UsageChartDialog(UsageChart chart);

  protected:
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void draw(HDC dc, const RECT& area) const;

    UsageChart chart_;
};

}  // namespace tarnix
