#pragma once
// The usage chart beside the record list: online time and traffic of the listed sessions
// per day of the month the filters name, per month of a year, or per year otherwise. A
// session counts for the day (month, year) it began, as the day filter lists it. Bars
// and the sessions outside them add up to the summary line's totals.

#include <cstdint>
#include <vector>

#include "records/RecordFilter.h"
#include "records/RecordTable.h"

namespace tarnix {

struct UsageBar {
    int label = 0;  // day of month, month or year
    int64_t seconds = 0;
    int64_t bytes = 0;
};

class UsageChart {
  public:
    enum class Unit { Day, Month, Year };

    static UsageChart build(const RecordTable& table, const RecordFilter& filter);

    Unit unit() const { return unit_; }
    const std::vector<UsageBar>& bars() const { return bars_; }
    // Listed sessions whose start lies outside every bar (a record of another month in the
    // month's file, or a start time that does not parse).
    const UsageBar& outside() const { return outside_; }
    // The sums of every bar and the outside, for the tests that hold them to the summary line.
    int64_t totalSeconds() const;
    int64_t totalBytes() const;
    // The tallest bar, for the scales.
    int64_t peakSeconds() const;
    int64_t peakBytes() const;

  private:
    Unit unit_ = Unit::Year;
    std::vector<UsageBar> bars_;
    UsageBar outside_;
};

}  // namespace tarnix
