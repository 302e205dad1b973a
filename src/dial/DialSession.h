#pragma once
// The dial state that the connect command, the hang-up and the two monitors share.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "dial/RemoteAccess.h"

namespace tarnix {

struct DialSession {
    // The live connection of the dial entry as the monitors know it; 0 when none is known.
    // Written only under the dial mutex (or before the monitors run).
    std::atomic<ConnHandle> currentConnection{0};
    // 1 while a dial of the connect command has not yet been seen by the connect monitor.
    std::atomic<std::int32_t> ownDial{0};
    // 1 after the user asked to disconnect; 0 again when a dial starts or a link is seen.
    std::atomic<std::int32_t> userHangUp{0};
    // Set once, when the monitors are stopped.
    std::atomic<std::int32_t> stopMonitors{0};

    // Auto-reset events the remote-access service signals: any new connection; the end of
    // the current one.
    std::shared_ptr<NotifyEvent> connectEvent;
    std::shared_ptr<NotifyEvent> dropEvent;

    // Serialises dialling, hanging up and each monitor's reaction to one event. The
    // user-interface thread never waits for it.
    std::mutex dialMutex;
};

}  // namespace tarnix
