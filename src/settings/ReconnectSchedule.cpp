#include "settings/ReconnectSchedule.h"

#include <cstdio>

#include "records/RecordTime.h"
#include "store/ConfigStore.h"

namespace tarnix {
namespace {

constexpr long long kDay = 24 * 60 * 60;

// One or two digits, up to `limit`.
std::optional<int> field(std::string_view text, int limit) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > limit) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> parseTimeOfDay(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    auto hour = field(text.substr(0, colon), 23);
    auto minute = field(text.substr(colon + 1), 59);
    if (!hour || !minute) return std::nullopt;
    return *hour * 60 + *minute;
}

std::string formatTimeOfDay(int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", (minutes / 60) % 24, minutes % 60);
    return text;
}

std::optional<int> readReconnectTime(ConfigStore& config) {
    std::string text;
    if (!config.GetOptional("ReconnectAt", text)) return std::nullopt;
    return parseTimeOfDay(text);
}

bool ReconnectSchedule::tick(const LocalTime& now, std::optional<int> minutes, bool linkUp) {
    const long long current = calendarSeconds(now);
    const bool first = !ticked_ || current < lastTick_;
    const long long since = first ? current : lastTick_ + 1;
    ticked_ = true;
    lastTick_ = current;
    if (!minutes || current - since > kCatchUpSeconds) return false;

    // The set time on the day of `current`, or on the day before for a span over midnight.
    const long long day = current >= 0 ? current / kDay : (current - kDay + 1) / kDay;
    for (long long d = day; d >= day - 1; --d) {
        const long long at = d * kDay + *minutes * 60LL;
        if (at < since || at > current) continue;
        if (d <= lastDue_) return false;  // already passed that day, or a later one
        lastDue_ = d;
        return linkUp;
    }
    return false;
}

}  // namespace tarnix
