#include "records/StatisticsModel.h"

#include <vector>

#include "base/DialEntry.h"
#include "dial/LinkProbes.h"
#include "dial/SessionRecords.h"
#include "records/RecordFile.h"
#include "records/RecordTime.h"
#include "records/SessionTotals.h"

namespace tarnix {

StatisticsModel::StatisticsModel(RemoteAccess& access, InterfaceTable& interfaces,
                                 std::filesystem::path recordFolder, Clock& clock)
    : access_(access),
      interfaces_(interfaces),
      recordFolder_(std::move(recordFolder)),
      clock_(clock) {}

void StatisticsModel::open() {
    LinkProbes probes(access_, interfaces_);
    fields_.address = probes.connectionAddress();
    // Without an interface table the unit stands alone, as the window has always shown it.
    fields_.speed = probes.linkSpeedText();
    if (fields_.speed.empty()) fields_.speed = "Mbps";
    updateConnectedTime();
    updateCounters();
}

bool StatisticsModel::tick() {
    updateConnectedTime();
    return updateCounters();
}

void StatisticsModel::updateConnectedTime() {
    // From the start of the newest session in this month's file, whether or not it is
    // still connected; without one the field keeps its text.
    const LocalTime now = clock_.now();
    RecordFile file(recordFolder_ / SessionRecords::monthFileName(now));
    std::vector<RecordItem> items;
    if (!file.read(items) || items.empty()) return;
    const auto start = parseRecordTime(file.value(items.front(), RecordField::StartTime));
    if (!start) return;
    const int64_t elapsed = calendarSeconds(now) - calendarSeconds(*start);
    if (elapsed >= 0) fields_.connectedTime = durationText(elapsed);
}

bool StatisticsModel::updateCounters() {
    std::vector<ActiveConnection> live;
    if (!access_.enumConnections(live, 10)) return false;
    ConnHandle entry = 0;
    for (const ActiveConnection& c : live) {
        if (c.entryName == kDialEntryName) {
            entry = c.handle;
            break;
        }
    }
    LinkStatistics stats;
    if (!entry || !access_.statistics(entry, stats)) {
        // No link of ours: the fields stay, the graph goes on at zero.
        history_.push({});
        lastConnection_ = 0;
        return true;
    }

    const std::string received = groupDigits(std::to_string(stats.bytesReceived));
    fields_.activityIcon = received == fields_.received ? kQuietIcon : kReceivingIcon;
    fields_.received = received;
    fields_.sent = groupDigits(std::to_string(stats.bytesSent));

    // Rates over the time the service says passed (a tick may come late), one second when
    // it does not say; counters are 32-bit and wrap.
    if (entry == lastConnection_ && stats.connectDurationMs >= lastStats_.connectDurationMs) {
        uint64_t ms = stats.connectDurationMs - lastStats_.connectDurationMs;
        if (ms == 0) ms = 1000;
        const uint32_t in = stats.bytesReceived - lastStats_.bytesReceived;
        const uint32_t out = stats.bytesSent - lastStats_.bytesSent;
        history_.push({uint64_t{in} * 1000 / ms, uint64_t{out} * 1000 / ms});
    }
    lastConnection_ = entry;
    lastStats_ = stats;
    return true;
}

}  // namespace tarnix
