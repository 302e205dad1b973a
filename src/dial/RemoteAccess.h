#pragma once
// The remote-access service as the dial controller, the records and the probes see it:
// the live connections, their addresses and counters, and notifications of a connection
// being made or ending. Implemented over rasapi32 on Windows, over lab-ac in lab mode,
// and by a fake in tests.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/NotifyEvent.h"

namespace tarnix {

// Names one live connection; 0 is no connection.
using ConnHandle = std::uintptr_t;

struct ActiveConnection {
    ConnHandle handle = 0;
    std::string entryName;  // GB2312, compared byte for byte
    bool connected = true;  // false while it is still being dialled
};

// Counters of one connection; 32-bit as the service reports them, so they wrap.
struct LinkStatistics {
    std::uint32_t bytesSent = 0;
    std::uint32_t bytesReceived = 0;
    std::uint32_t connectDurationMs = 0;
    std::uint32_t bitsPerSecond = 0;
};

struct RasDevice {
    std::string type;  // "PPPoE", "modem", ... as the service names the kind
    std::string name;
};

class RemoteAccess {
  public:
    virtual ~RemoteAccess() = default;

    // The live connections in the service's order, however many (`room` is how many the
    // caller expects); false when the query fails. One that has ended is not live.
    virtual bool enumConnections(std::vector<ActiveConnection>& out, std::size_t room = 10) = 0;
    // The IPv4 address of the connection's PPP IP projection.
    virtual bool ipAddress(ConnHandle handle, std::string& address) = 0;
    virtual bool statistics(ConnHandle handle, LinkStatistics& stats) = 0;
    virtual bool enumDevices(std::vector<RasDevice>& out) = 0;

    virtual std::shared_ptr<NotifyEvent> createEvent() = 0;
    // Signals `event` whenever a new connection is made from now on. Registering the same
    // event again is harmless; the registration ends when the event is destroyed.
    virtual bool notifyConnection(const std::shared_ptr<NotifyEvent>& event) = 0;
    // Signals `event` when connection `handle` ends; at once when it is already gone.
    virtual bool notifyDisconnection(ConnHandle handle,
                                     const std::shared_ptr<NotifyEvent>& event) = 0;
};

// The live connections of one entry (compared byte for byte), in the service's order;
// empty when there are none or the query fails. `connectedOnly` leaves out those still
// being dialled.
inline std::vector<ConnHandle> connectionsOf(RemoteAccess& access, std::string_view entry,
                                             bool connectedOnly = false) {
    std::vector<ActiveConnection> live;
    std::vector<ConnHandle> handles;
    if (!access.enumConnections(live, 10)) return handles;
    for (const auto& c : live) {
        if (c.entryName == entry && (c.connected || !connectedOnly)) handles.push_back(c.handle);
    }
    return handles;
}

}  // namespace tarnix
