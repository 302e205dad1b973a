#pragma once
// The daily reconnect: at a time of day the subscriber chose (ReconnectAt in config.xml,
// "HH:MM"), a link that is up is hung up and dialled again at once, so that the provider's
// forced disconnect after 24 or 48 hours falls in a quiet hour. The main window ticks it
// once a second.

#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"

namespace tarnix {

class ConfigStore;

// Minutes after midnight of an "HH:MM" text (00:00 to 23:59, one or two digits each);
// nullopt for anything else ("24:00", "abc", blanks, a third field).
std::optional<int> parseTimeOfDay(std::string_view text);
std::string formatTimeOfDay(int minutes);

// The stored time; nullopt when the reconnect is off (no element, or one that is no time).
std::optional<int> readReconnectTime(ConfigStore& config);

class ReconnectSchedule {
  public:
    // True when the set minute has begun since the tick before (a busy second still counts,
    // a gap longer than kCatchUpSeconds does not: the machine slept or the clock jumped),
    // the link is up, and no reconnect was due yet on that day or a later one, so a clock
    // set back across the time does not fire it again. A set time that finds the link down
    // is passed for the day.
    bool tick(const LocalTime& now, std::optional<int> minutes, bool linkUp);

    static constexpr long long kCatchUpSeconds = 300;

  private:
    bool ticked_ = false;
    long long lastTick_ = 0;     // calendar seconds of the tick before
    long long lastDue_ = -1;     // calendar day of the last set time passed
};

}  // namespace tarnix
