#include "dial/LinkProbes.h"

#include "TextIds.h"
#include "base/DialEntry.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

// Cuts GB2312 text to at most `limit` bytes without splitting a double-byte character.
std::string cutText(std::string text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = static_cast<unsigned char>(text[end]) >= 0x81 ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    text.resize(end);
    return text;
}

std::string megabits(std::uint32_t bitsPerSecond) {
    return std::to_string(bitsPerSecond / 1000000u) + "Mbps";
}

}  // namespace

LinkProbes::LinkProbes(RemoteAccess& access, InterfaceTable& interfaces)
    : access_(access), interfaces_(interfaces) {}

std::string LinkProbes::connectionAddress() {
    // A link still being dialled, or one that has failed, has no address worth showing.
    const auto entry = connectionsOf(access_, kDialEntryName, true);
    std::string address;
    if (entry.empty() || !access_.ipAddress(entry.front(), address)) return {};
    return address;
}

bool LinkProbes::readCounters(std::optional<LinkCounters>& counters) {
    counters.reset();
    std::vector<ActiveConnection> live;
    if (!access_.enumConnections(live, 10)) return false;
    for (const ActiveConnection& c : live) {
        if (c.entryName != kDialEntryName) continue;
        LinkStatistics stats;
        if (c.handle && access_.statistics(c.handle, stats))
            counters = LinkCounters{c.handle, stats.bytesSent, stats.bytesReceived,
                                    stats.connectDurationMs};
        break;
    }
    return true;
}

// The speed of the dial entry's own link, as its counters report it. Without them, the
// table's PPP interface, else its first interface that is not loopback: on current
// Windows the first row is usually the loopback interface, whose speed says nothing.
std::string LinkProbes::linkSpeedText() {
    const auto links = connectionsOf(access_, kDialEntryName, true);
    LinkStatistics stats;
    if (!links.empty() && access_.statistics(links.front(), stats) && stats.bitsPerSecond != 0)
        return megabits(stats.bitsPerSecond);
    std::vector<NetworkInterface> rows;
    if (!interfaces_.read(rows)) return {};
    const NetworkInterface* chosen = nullptr;
    for (const auto& row : rows) {
        if (row.type == kInterfacePpp) {
            chosen = &row;
            break;
        }
        if (!chosen && row.type != kInterfaceLoopback) chosen = &row;
    }
    return chosen ? megabits(chosen->speed) : std::string();
}

std::string LinkProbes::trayTipText(bool connected) {
    if (!connected) return gbText(IDS_TIP_NOT_OUR_LINK);
    std::string tip = gbText(IDS_TIP_ADDRESS);
    tip += connectionAddress();
    tip += gbText(IDS_TIP_SPEED);
    tip += linkSpeedText();
    return cutText(std::move(tip), kTipField - 1);
}

}  // namespace tarnix
