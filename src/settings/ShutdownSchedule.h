#pragma once
// ShutdownSchedule: the scheduled log-off, restart or shutdown. The schedule is SystemSet
// in the configuration store (SetTime, SetType); the main window calls tick() once a
// second, and when the set second has come since the tick before, the system is asked to
// carry out the action and the schedule is removed, so that it fires once.

#include <array>
#include <string_view>

#include "TextIds.h"
#include "base/Clock.h"
#include "base/Power.h"
#include "store/ConfigStore.h"

namespace tarnix {

// The texts of the actions (关机, 重起, 注销), in the order the settings page lists them;
// SetType stores the chosen one's name in GB2312.
inline constexpr std::array<unsigned, 3> kShutdownActions = {
    IDS_SHUTDOWN_POWER_OFF, IDS_SHUTDOWN_RESTART, IDS_SHUTDOWN_LOG_OFF};

// The exit flags of an action name (compared exactly); false for any other name.
bool shutdownFlags(std::string_view action, unsigned& flags);

// Reads a SetTime text: year, month, day, hour, minute and second, with any run of
// non-digit characters between them ("2009-5-20 12:30:00"). A 12-hour time written by a
// program on another locale ("2009-5-20 2:30:00 PM", "下午 2:30:00") is the hour the
// locale means: 14:30. False unless there are exactly six numbers and they form a real
// date and time; `time` is then unchanged.
bool parseScheduleTime(std::string_view text, LocalTime& time);
// The 24-hour hour of `hour` read from `text`: unchanged without an AM/PM (上午/下午)
// mark; -1 when the text has a mark and the hour is not 1 to 12.
int dayHalfHour(std::string_view text, int hour);
// The runs of digits of `text` in order, the first six into `numbers` (each saturating far
// above any field's range, so long runs cannot overflow); how many runs there are, counting
// at most one past six.
int scheduleNumbers(std::string_view text, int (&numbers)[6]);

// What one tick did.
struct ShutdownTick {
    bool due = false;        // the set second is now: the schedule was removed
    bool requested = false;  // the system was asked (a known action name)
    unsigned flags = 0;      // the flags it was asked with
};

class ShutdownSchedule {
  public:
    // Fires when the set second lies after the previous tick and not after now, so a tick
    // that comes late (a busy second: a large save, a query) still fires it, once. The
    // first tick, and one after the clock was set back, look at the current second only.
    // A gap longer than kCatchUpSeconds (the machine slept, the clock was set forward)
    // does not fire a time it stepped over: the schedule stays stored in the past, for
    // the settings page to show, rather than shutting down a machine just woken.
    ShutdownTick tick(ConfigStore& config, Clock& clock, Power& power);
    // True while the store holds a schedule that may still fire (a time that parses and an
    // action): only then need anyone tick. A window that ticks only while this holds, and
    // looks again when the settings change, fires exactly what ticking every second would.
    static bool isSet(ConfigStore& config);

    static constexpr long long kCatchUpSeconds = 300;

  private:
    bool ticked_ = false;
    long long lastTick_ = 0;  // calendar seconds of the tick before
};

}  // namespace tarnix
