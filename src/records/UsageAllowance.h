#pragma once
// The monthly allowance: how many hours and/or GB the subscriber's plan gives each month,
// from which day of the month its cycle runs, how much of it the record files say is used,
// and the warnings at 80 % and at 100 %, each once a cycle.
//
// config.xml keeps it in elements older readers ignore (absent: no allowance):
//   AllowanceHours  whole hours, 1 to 744     AllowanceGB     whole GB (2^30 bytes), 1 to 100000
//   AllowanceStartDay  1 to 31 (1 when absent); a day past the month's end is its last day
//   UsageWarned     "2026-12-01 80": the cycle and the last warning given in it

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/Clock.h"

namespace tarnix {

class ConfigStore;

inline constexpr std::int64_t kMaxAllowanceHours = 744;  // a month of 31 days
inline constexpr std::int64_t kMaxAllowanceGigabytes = 100000;
inline constexpr std::int64_t kBytesPerGigabyte = std::int64_t{1} << 30;

struct UsageAllowance {
    std::optional<std::int64_t> hours;
    std::optional<std::int64_t> gigabytes;
    int startDay = 1;
    bool any() const { return hours || gigabytes; }
};

// A whole number from 1 to `limit`, blanks around it allowed; nullopt for anything else
// (0, a sign, letters, a fraction, too large).
std::optional<std::int64_t> parseAllowance(std::string_view text, std::int64_t limit);

// What config.xml holds; a value out of its range counts as absent.
UsageAllowance readAllowance(ConfigStore& config);
void writeAllowance(ConfigStore& config, const UsageAllowance& allowance);

// Midnight of the day the cycle holding `now` began.
LocalTime cycleStart(const LocalTime& now, int startDay);

struct Usage {
    std::int64_t seconds = 0;
    std::int64_t bytes = 0;
};

// The sessions of the record files that began in [start, now]. A session still open counts
// up to `now`, with `liveBytes` (the link's own counters) when given instead of the counters
// last saved into its record.
Usage usageSince(const std::filesystem::path& recordFolder, const LocalTime& start,
                 const LocalTime& now, std::optional<std::int64_t> liveBytes = std::nullopt);

// The larger of the two shares in percent, rounded down; 0 without an allowance.
int usedPercent(const UsageAllowance& allowance, const Usage& usage);

// The warning due now: 80 or 100 when the share has reached that level and no warning of it
// (or of a higher one) was given in this cycle, which is then noted in config.xml; else 0.
// A new cycle starts with none given.
int dueWarning(ConfigStore& config, const LocalTime& cycle, int percent);

}  // namespace tarnix
