#include "settings/ShutdownSchedule.h"

#include <algorithm>
#include <string>

#include "base/AsciiText.h"
#include "base/Texts.h"
#include "records/RecordTime.h"

namespace tarnix {
namespace {

bool contains(std::string_view text, std::string_view mark) {
    return text.find(mark) != std::string_view::npos;
}

// "AM"/"PM" as a word of its own, in any case ("2:30:00 PM", "2:30:00pm").
bool hasLatinMark(std::string_view text, char first) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (lowerAscii(text[i]) != lowerAscii(first) || lowerAscii(text[i + 1]) != 'm') continue;
        const bool before = i > 0 && isAsciiLetter(text[i - 1]);
        const bool after = i + 2 < text.size() && isAsciiLetter(text[i + 2]);
        if (!before && !after) return true;
    }
    return false;
}

}  // namespace

bool shutdownFlags(std::string_view action, unsigned& flags) {
    constexpr unsigned kFlags[] = {Power::kPowerOff, Power::kReboot, Power::kLogOff};
    for (std::size_t i = 0; i < kShutdownActions.size(); ++i) {
        if (action != gbText(kShutdownActions[i])) continue;
        flags = kFlags[i];
        return true;
    }
    return false;
}

int scheduleNumbers(std::string_view text, int (&numbers)[6]) {
    constexpr int kTooBig = 1'000'000;
    int count = 0;
    bool inNumber = false;
    for (char c : text) {
        if (c < '0' || c > '9') {
            inNumber = false;
            continue;
        }
        if (!inNumber) {
            if (count == 6)
                return 7;
            ++count;
            inNumber = true;
        }
        int& n = numbers[count - 1];
        n = std::min(n * 10 + (c - '0'), kTooBig);
    }
    return count;
}

int dayHalfHour(std::string_view text, int hour) {
    const bool am = hasLatinMark(text, 'A') || contains(text, gbText(IDS_SHUTDOWN_MORNING));
    const bool pm = hasLatinMark(text, 'P') || contains(text, gbText(IDS_SHUTDOWN_AFTERNOON));
    if (!am && !pm) return hour;
    if (am == pm || hour < 1 || hour > 12) return -1;
    return hour % 12 + (pm ? 12 : 0);
}

bool parseScheduleTime(std::string_view text, LocalTime& time) {
    int numbers[6] = {};
    if (scheduleNumbers(text, numbers) != 6)
        return false;
    numbers[3] = dayHalfHour(text, numbers[3]);
    const auto [year, month, day, hour, minute, second] = numbers;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || hour < 0 || hour > 23 || minute > 59 || second > 59)
        return false;
    time = {year, month, day, hour, minute, second};
    return true;
}

bool ShutdownSchedule::isSet(ConfigStore& config) {
    std::string setTime;
    std::string setType;
    config.GetShutdown(setTime, setType);
    LocalTime due;
    return !setType.empty() && parseScheduleTime(setTime, due);
}

ShutdownTick ShutdownSchedule::tick(ConfigStore& config, Clock& clock, Power& power) {
    ShutdownTick result;
    const long long now = calendarSeconds(clock.now());
    // After the first tick, a clock set back or a long gap: only the current second.
    const bool caughtUp = ticked_ && lastTick_ < now && now - lastTick_ <= kCatchUpSeconds;
    const long long after = caughtUp ? lastTick_ : now - 1;
    ticked_ = true;
    lastTick_ = now;

    std::string setTime;
    std::string setType;
    config.GetShutdown(setTime, setType);
    if (setTime.empty() || setType.empty())
        return result;
    LocalTime due;
    // A text that does not parse never fires, and stays stored for the page to show.
    if (!parseScheduleTime(setTime, due))
        return result;
    const long long at = calendarSeconds(due);
    if (at <= after || at > now)
        return result;

    result.due = true;
    if (shutdownFlags(setType, result.flags)) {
        result.requested = true;
        // A refusal is not reported: the schedule is spent either way.
        power.exitWindows(result.flags);
    }
    config.ClearShutdown();
    return result;
}

}  // namespace tarnix
