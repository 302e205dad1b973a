#include "records/UsageAllowance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "records/MonthFile.h"
#include "records/RecordFile.h"
#include "records/RecordTime.h"
#include "records/SessionTotals.h"
#include "store/ConfigStore.h"

namespace tarnix {
namespace {

std::optional<std::int64_t> readNumber(ConfigStore& config, std::string_view key,
                                       std::int64_t limit) {
    std::string text;
    if (!config.GetOptional(key, text)) return std::nullopt;
    return parseAllowance(text, limit);
}

std::string dayText(const LocalTime& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

LocalTime previousMonth(LocalTime t) {
    if (--t.month == 0) {
        t.month = 12;
        --t.year;
    }
    return t;
}

}  // namespace

std::optional<std::int64_t> parseAllowance(std::string_view text, std::int64_t limit) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > limit) return std::nullopt;
    return value;
}

UsageAllowance readAllowance(ConfigStore& config) {
    UsageAllowance allowance;
    allowance.hours = readNumber(config, "AllowanceHours", kMaxAllowanceHours);
    allowance.gigabytes = readNumber(config, "AllowanceGB", kMaxAllowanceGigabytes);
    allowance.startDay = static_cast<int>(readNumber(config, "AllowanceStartDay", 31).value_or(1));
    return allowance;
}

void writeAllowance(ConfigStore& config, const UsageAllowance& allowance) {
    auto text = [](const std::optional<std::int64_t>& n) {
        return n ? std::to_string(*n) : std::string();
    };
    config.SetOptional("AllowanceHours", text(allowance.hours));
    config.SetOptional("AllowanceGB", text(allowance.gigabytes));
    // Day 1 is the default: nothing to store.
    const int day = std::clamp(allowance.startDay, 1, 31);
    config.SetOptional("AllowanceStartDay", day == 1 ? std::string() : std::to_string(day));
}

LocalTime cycleStart(const LocalTime& now, int startDay) {
    startDay = std::clamp(startDay, 1, 31);
    LocalTime start{now.year, now.month, std::min(startDay, daysInMonth(now.year, now.month)), 0, 0, 0};
    if (now.day >= start.day) return start;
    start = previousMonth(start);
    start.day = std::min(startDay, daysInMonth(start.year, start.month));
    return start;
}

Usage usageSince(const std::filesystem::path& recordFolder, const LocalTime& start,
                 const LocalTime& now, std::optional<std::int64_t> liveBytes) {
    const std::int64_t from = calendarSeconds(start), to = calendarSeconds(now);
    Usage usage;
    // A cycle spans at most two month files.
    std::vector<LocalTime> months{now};
    if (start.year != now.year || start.month != now.month) months.push_back(previousMonth(now));
    for (const LocalTime& month : months) {
        RecordFile file(recordFolder / monthFileName(month));
        std::vector<RecordItem> items;
        if (!file.read(items)) continue;
        for (const RecordItem& item : items) {
            auto began = parseRecordTime(file.value(item, RecordField::StartTime));
            if (!began) continue;
            const std::int64_t at = calendarSeconds(*began);
            if (at < from || at > to) continue;
            const std::string end = file.value(item, RecordField::EndTime);
            std::int64_t bytes = saturatingAdd(SessionTotals::byteCount(file.value(item, RecordField::Send)),
                                               SessionTotals::byteCount(file.value(item, RecordField::Recv)));
            std::int64_t seconds = 0;
            if (end.empty()) {
                seconds = to - at;
                if (liveBytes) bytes = std::max(bytes, *liveBytes);
            } else if (auto s = sessionSeconds(file.value(item, RecordField::StartTime), end)) {
                seconds = *s;
            }
            usage.seconds = saturatingAdd(usage.seconds, seconds);
            usage.bytes = saturatingAdd(usage.bytes, bytes);
        }
    }
    return usage;
}

int usedPercent(const UsageAllowance& allowance, const Usage& usage) {
    std::int64_t percent = 0;
    if (allowance.hours)
        percent = std::max(percent, usage.seconds / 36 / *allowance.hours);
    if (allowance.gigabytes) {
        const double share = static_cast<double>(usage.bytes) * 100.0 /
                             (static_cast<double>(*allowance.gigabytes) * kBytesPerGigabyte);
        percent = std::max(percent, static_cast<std::int64_t>(std::min(share, 1000.0)));
    }
    return static_cast<int>(std::min<std::int64_t>(percent, 1000));
}

int dueWarning(ConfigStore& config, const LocalTime& cycle, int percent) {
    const int level = percent >= 100 ? 100 : percent >= 80 ? 80 : 0;
    if (level == 0) return 0;
    const std::string day = dayText(cycle);
    std::string warned;
    if (config.GetOptional("UsageWarned", warned) && warned.rfind(day + " ", 0) == 0 &&
        std::atoi(warned.c_str() + day.size() + 1) >= level)
        return 0;
    config.SetOptional("UsageWarned", day + " " + std::to_string(level));
    return level;
}

}  // namespace tarnix
