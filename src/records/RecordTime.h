#pragma once
// Times and durations of session records. The files hold local wall-clock times such as
// "2009-06-30 23:00:00", read as they have always been read: six decimal numbers
// separated by '-', '-', blanks, ':' and ':'.
//
// Durations are counted on the calendar alone, without a time zone: the files name no
// zone, and a conversion through the C library would depend on the machine's zone rules
// and on its range of years (some stop at 1970 and 3000).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"

namespace tarnix {

// The time a record text names; nullopt when it is not a time or a field is out of range
// (months 1-12, days 1-31, hours 0-23, minutes 0-59, seconds 0-60, years 1-9999).
std::optional<LocalTime> parseRecordTime(std::string_view text);

// Seconds since 1970-01-01 00:00:00 on the calendar (negative before it).
int64_t calendarSeconds(const LocalTime& time);

// Whole seconds from start to end; nullopt when either does not parse or the end comes
// before the start (such a record has no sensible duration and adds none to the totals).
std::optional<int64_t> sessionSeconds(std::string_view start, std::string_view end);

// "1小时2分钟5秒", "2分钟5秒", "59秒": leading zero units left out.
std::string durationText(int64_t seconds);

// The number of days in a month of the calendar.
int daysInMonth(int year, int month);

}  // namespace tarnix
