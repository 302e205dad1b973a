#include "records/RecordTime.h"

#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d": blanks, a sign and at least one digit. Values past nine digits are refused
// (no field of a time needs them, and they would overflow).
bool readNumber(std::string_view text, size_t& i, int& value) {
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t first = i;
    long long v = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (i - first >= 9) return false;
        v = v * 10 + (text[i++] - '0');
    }
    if (i == first) return false;
    value = static_cast<int>(negative ? -v : v);
    return true;
}

// The files' own form, "2009-06-30 23:00:00", read without the general scan.
bool readFixedForm(std::string_view t, LocalTime& time) {
    if (t.size() < 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return false;
    static constexpr int kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (int i : kDigits)
        if (!isDigit(t[i])) return false;
    auto two = [&](int i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
    time.year = two(0) * 100 + two(2);
    time.month = two(5);
    time.day = two(8);
    time.hour = two(11);
    time.minute = two(14);
    time.second = two(17);
    // Anything after the seconds is ignored, as the pattern has always ignored it, unless it
    // continues the number: then the general scan reads the longer number.
    return t.size() == 19 || !isDigit(t[19]);
}

// The clock of a time in the files' own form ("23:00:00" after the date), in range.
bool readFixedClock(std::string_view t, LocalTime& time) {
    if (t[13] != ':' || t[16] != ':') return false;
    for (int i : {11, 12, 14, 15, 17, 18})
        if (!isDigit(t[i])) return false;
    time.hour = (t[11] - '0') * 10 + (t[12] - '0');
    time.minute = (t[14] - '0') * 10 + (t[15] - '0');
    time.second = (t[17] - '0') * 10 + (t[18] - '0');
    return time.hour <= 23 && time.minute <= 59 && time.second <= 60;
}

bool readGeneralForm(std::string_view text, LocalTime& time) {
    size_t i = 0;
    int* fields[] = {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second};
    static constexpr char kSeparators[] = {'-', '-', ' ', ':', ':'};
    for (int f = 0; f < 6; ++f) {
        if (!readNumber(text, i, *fields[f])) return false;
        if (f == 5) break;
        const char separator = kSeparators[f];
        if (separator == ' ') {
            while (i < text.size() && isBlank(text[i])) ++i;
        } else if (i < text.size() && text[i] == separator) {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar; a day past the
// end of its month runs on into the next, as the C library's conversion does.
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t secondsOfDay(const LocalTime& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

std::optional<LocalTime> parseRecordTime(std::string_view text) {
    LocalTime time;
    if (!readFixedForm(text, time) && !readGeneralForm(text, time)) return std::nullopt;
    if (time.year < 1 || time.year > 9999 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > 31 || time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 ||
        time.second < 0 || time.second > 60)
        return std::nullopt;
    return time;
}

int64_t calendarSeconds(const LocalTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<int64_t> sessionSeconds(std::string_view start, std::string_view end) {
    // Most sessions end on the day they began: then the date is read once, and the
    // calendar has nothing to add.
    if (start.size() == 19 && end.size() == 19 && start.substr(0, 11) == end.substr(0, 11)) {
        const auto from = parseRecordTime(start);
        if (!from) return std::nullopt;
        LocalTime to = *from;
        if (readFixedClock(end, to)) {
            const int64_t seconds = secondsOfDay(to) - secondsOfDay(*from);
            return seconds < 0 ? std::nullopt : std::optional<int64_t>(seconds);
        }
    }
    const auto from = parseRecordTime(start);
    if (!from) return std::nullopt;
    const auto to = parseRecordTime(end);
    if (!to) return std::nullopt;
    // Most sessions end on the day they began: then the calendar has nothing to add.
    const bool sameDay = from->day == to->day && from->month == to->month && from->year == to->year;
    const int64_t seconds = sameDay ? secondsOfDay(*to) - secondsOfDay(*from)
                                    : calendarSeconds(*to) - calendarSeconds(*from);
    if (seconds < 0) return std::nullopt;
    return seconds;
}

std::string durationText(int64_t seconds) {
    // Made for every row of a query: the units are made once.
    static const std::string hours = gbText(IDS_HOURS), minutes = gbText(IDS_MINUTES),
                             secondsUnit = gbText(IDS_SECONDS);
    const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    std::string text;
    if (h != 0) {
        text += std::to_string(h);
        text += hours;
    }
    if (h != 0 || m != 0) {
        text += std::to_string(m);
        text += minutes;
    }
    text += std::to_string(s);
    text += secondsUnit;
    return text;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace tarnix
