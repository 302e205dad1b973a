#pragma once
// ShutdownForm: the scheduled-shutdown page of the settings dialog. It shows and stores
// the schedule (SystemSet's SetTime and SetType) that ShutdownSchedule fires; a time that
// is not in the future is refused.

#include <string>
#include <string_view>

#include "base/Clock.h"
#include "settings/ShutdownSchedule.h"
#include "store/ConfigStore.h"

namespace tarnix {

// The page's controls.
struct ShutdownFields {
    bool scheduled = false;  // "定时关机"
    int actionIndex = 0;     // into kShutdownActions
    LocalTime date;          // the date picker: its year, month and day count
    LocalTime time;          // the time picker: its hour, minute and second count

    // The action list and both pickers are enabled while the box is ticked.
    bool fieldsEnabled() const { return scheduled; }
};

class ShutdownForm {
  public:
    ShutdownForm(ConfigStore& config, Clock& clock);

    // The stored schedule; without one the box is clear and the pickers show the next full
    // hour. A stored time that cannot be read shows as the current time, box ticked (so
    // that applying it unchanged is refused and the text stays for the user to replace).
    ShutdownFields load();
    // Stores the schedule, or removes it when the box is clear. A time that is not later
    // than the current second is refused over `owner` (IDS_SHUTDOWN_NOT_IN_FUTURE, captioned
    // "提示", error icon; false): the box
    // is cleared and the stored schedule stays as it was.
    bool save(ShutdownFields& fields, void* owner = nullptr);

  private:
    ConfigStore& config_;
    Clock& clock_;
};

// The SetTime text of the date's day and the time's time of day, as the pickers of the
// client's locale write them: "2009-5-20 12:30:00".
std::string formatScheduleTime(const LocalTime& date, const LocalTime& time);

// A SetTime text read as the page reads it: the numbers in order, whatever separates
// them, missing ones 0 (so "2009-5-20 12:30" is half past twelve); false when they make
// no real date and time.
bool readScheduleTime(std::string_view text, LocalTime& time);

}  // namespace tarnix
