#include "settings/ShutdownForm.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "base/Prompt.h"
#include "base/Texts.h"
#include "records/RecordTime.h"

namespace tarnix {
namespace {

auto ordered(const LocalTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// The next full hour after `now`: a time the page can store as it stands.
LocalTime nextFullHour(LocalTime t) {
    t.minute = t.second = 0;
    if (++t.hour < 24) return t;
    t.hour = 0;
    if (++t.day <= daysInMonth(t.year, t.month)) return t;
    t.day = 1;
    if (++t.month <= 12) return t;
    t.month = 1;
    ++t.year;
    return t;
}

}  // namespace

std::string formatScheduleTime(const LocalTime& date, const LocalTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%02d:%02d", date.year, date.month, date.day,
                  time.hour, time.minute, time.second);
    return text;
}

bool readScheduleTime(std::string_view text, LocalTime& time) {
    int numbers[6] = {};
    scheduleNumbers(text, numbers);  // numbers past the sixth are ignored, missing ones 0
    numbers[3] = dayHalfHour(text, numbers[3]);
    if (numbers[3] < 0) return false;
    // Checked as the schedule's own reader checks a full text.
    const LocalTime read{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
    return parseScheduleTime(formatScheduleTime(read, read), time);
}

ShutdownForm::ShutdownForm(ConfigStore& config, Clock& clock) : config_(config), clock_(clock) {}

ShutdownFields ShutdownForm::load() {
    ShutdownFields fields;
    const LocalTime now = clock_.now();
    fields.date = fields.time = now;
    std::string setTime, setType;
    config_.GetShutdown(setTime, setType);
    if (setTime.empty()) {
        // The pickers offer the next full hour: the current second would be refused as a
        // past time the moment the box is ticked and applied.
        fields.date = fields.time = nextFullHour(now);
        fields.date.hour = 0;
        return fields;
    }

    fields.scheduled = true;
    // An action name the list does not hold leaves the first selected.
    for (std::size_t i = 0; i < kShutdownActions.size(); ++i) {
        if (gbText(kShutdownActions[i]) == setType) fields.actionIndex = static_cast<int>(i);
    }
    LocalTime when;
    if (readScheduleTime(setTime, when)) fields.date = fields.time = when;
    fields.date.hour = fields.date.minute = fields.date.second = 0;
    return fields;
}

bool ShutdownForm::save(ShutdownFields& fields, void* owner) {
    if (!fields.scheduled) {
        config_.SetShutdown(false, "", "");
        return true;
    }
    const LocalTime when{fields.date.year, fields.date.month,  fields.date.day,
                         fields.time.hour, fields.time.minute, fields.time.second};
    if (ordered(when) <= ordered(clock_.now())) {
        promptText(owner, IDS_SHUTDOWN_NOT_IN_FUTURE, PromptIcon::Error);
        fields.scheduled = false;
        return false;
    }
    const int action =
        fields.actionIndex >= 0 && fields.actionIndex < static_cast<int>(kShutdownActions.size())
            ? fields.actionIndex
            : 0;
    config_.SetShutdown(true, formatScheduleTime(fields.date, fields.time),
                        gbText(kShutdownActions[action]));
    return true;
}

}  // namespace tarnix
