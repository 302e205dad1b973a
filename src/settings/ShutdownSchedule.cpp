#include "settings/ShutdownSchedule.h"

#include <algorithm>
#include <string>

namespace tarnix {
namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool sameSecond(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

}  // namespace

bool shutdownFlags(std::string_view action, unsigned& flags) {
    if (action == kShutdownPowerOff)
        flags = Power::kPowerOff;
    else if (action == kShutdownRestart)
        flags = Power::kReboot;
    else if (action == kShutdownLogOff)
        flags = Power::kLogOff;
    else
        return false;
    return true;
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

bool parseScheduleTime(std::string_view text, LocalTime& time) {
    int numbers[6] = {};
    if (scheduleNumbers(text, numbers) != 6)
        return false;
    const auto [year, month, day, hour, minute, second] = numbers;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || hour > 23 || minute > 59 || second > 59)
        return false;
    time = {year, month, day, hour, minute, second};
    return true;
}

ShutdownTick ShutdownSchedule::tick(ConfigStore& config, Clock& clock, Power& power) {
    ShutdownTick result;
    std::string setTime;
    std::string setType;
    config.GetShutdown(setTime, setType);
    if (setTime.empty() || setType.empty())
        return result;
    LocalTime due;
    // A text that does not parse never fires, and stays stored for the page to show.
    if (!parseScheduleTime(setTime, due) || !sameSecond(due, clock.now()))
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
