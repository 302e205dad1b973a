#include "records/StatisticsModel.h"

#include <vector>

#include "records/MonthFile.h"
#include "records/RecordFile.h"
#include "records/RecordTime.h"
#include "records/SessionTotals.h"

namespace tarnix {

StatisticsModel::StatisticsModel(LinkReadings& link, std::filesystem::path recordFolder,
                                 Clock& clock, UsageAllowance allowance)
    : link_(link), recordFolder_(std::move(recordFolder)), clock_(clock), allowance_(allowance) {}

void StatisticsModel::open() {
    fields_.address = link_.connectionAddress();
    // Without an interface table the unit stands alone, as the window has always shown it.
    fields_.speed = link_.linkSpeedText();
    if (fields_.speed.empty()) fields_.speed = "Mbps";
    updateConnectedTime();
    updateCounters();
    updateAllowanceUsed();
}

bool StatisticsModel::tick() {
    updateConnectedTime();
    const bool counted = updateCounters();
    if (++ticksToUsage_ >= 60) updateAllowanceUsed();
    return counted;
}

void StatisticsModel::updateAllowanceUsed() {
    ticksToUsage_ = 0;
    if (!allowance_.any()) return;
    const LocalTime now = clock_.now();
    std::optional<std::int64_t> live;
    if (last_) live = std::int64_t{last_->bytesSent} + last_->bytesReceived;
    const Usage used =
        usageSince(recordFolder_, cycleStart(now, allowance_.startDay), now, live);
    fields_.allowanceUsed = std::to_string(usedPercent(allowance_, used)) + "%";
}

void StatisticsModel::updateConnectedTime() {
    // From the start of the newest session in this month's file, whether or not it is
    // still connected; without one the field keeps its text.
    const LocalTime now = clock_.now();
    RecordFile file(recordFolder_ / monthFileName(now));
    std::vector<RecordItem> items;
    if (!file.read(items) || items.empty()) return;
    const auto start = parseRecordTime(file.value(items.front(), RecordField::StartTime));
    if (!start) return;
    const int64_t elapsed = calendarSeconds(now) - calendarSeconds(*start);
    if (elapsed >= 0) fields_.connectedTime = durationText(elapsed);
}

bool StatisticsModel::updateCounters() {
    std::optional<LinkCounters> counters;
    if (!link_.readCounters(counters)) return false;
    if (!counters) {
        // No link of ours: the fields stay, the graph goes on at zero.
        history_.push({});
        last_.reset();
        return true;
    }
    const LinkCounters& counts = *counters;

    const std::string received = groupDigits(std::to_string(counts.bytesReceived));
    fields_.activityIcon = received == fields_.received ? kQuietIcon : kReceivingIcon;
    fields_.received = received;
    fields_.sent = groupDigits(std::to_string(counts.bytesSent));

    // Rates over the time the service says passed (a tick may come late), one second when
    // it does not say; counters are 32-bit and wrap.
    if (last_ && counts.connection == last_->connection &&
        counts.connectDurationMs >= last_->connectDurationMs) {
        uint64_t ms = counts.connectDurationMs - last_->connectDurationMs;
        if (ms == 0) ms = 1000;
        const uint32_t in = counts.bytesReceived - last_->bytesReceived;
        const uint32_t out = counts.bytesSent - last_->bytesSent;
        history_.push({uint64_t{in} * 1000 / ms, uint64_t{out} * 1000 / ms});
    }
    last_ = counts;
    return true;
}

}  // namespace tarnix
