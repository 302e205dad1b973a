#pragma once
// The settings page "定时与用量": the daily reconnect ("每天定时重新连接" at a time of day)
// and the monthly allowance (hours and/or GB, and the day its cycle starts), stored as the
// elements ReconnectSchedule and UsageAllowance read.

#include <string>

#include "store/ConfigStore.h"

namespace tarnix {

struct ScheduleUsageFields {
    bool reconnect = false;
    int reconnectMinutes = 4 * 60;  // after midnight; 04:00 while none is stored
    std::string hoursText;          // empty: no allowance of hours
    std::string gigabytesText;      // empty: no allowance of traffic
    int startDay = 1;               // 1 to 31

    bool timeEnabled() const { return reconnect; }
};

class ScheduleUsageForm {
  public:
    explicit ScheduleUsageForm(ConfigStore& config) : config_(config) {}

    ScheduleUsageFields load();
    // Stores the fields. An allowance that is not a whole number in its range (0, negative,
    // letters, 10^12) is refused over `owner` with a message naming the range, and nothing
    // of the page is stored.
    bool save(const ScheduleUsageFields& fields, void* owner = nullptr);

  private:
    ConfigStore& config_;
};

}  // namespace tarnix
