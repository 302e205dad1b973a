#pragma once
// The remote-access seam over rasapi32.
#include <mutex>

#include "dial/RemoteAccess.h"

namespace tarnix {

class WinRemoteAccess : public RemoteAccess {
  public:
    bool enumConnections(std::vector<ActiveConnection>& out, std::size_t room) override;
    bool ipAddress(ConnHandle handle, std::string& address) override;
    bool statistics(ConnHandle handle, LinkStatistics& stats) override;
    bool enumDevices(std::vector<RasDevice>& out) override;
    std::shared_ptr<NotifyEvent> createEvent() override;
    bool notifyConnection(const std::shared_ptr<NotifyEvent>& event) override;
    bool notifyDisconnection(ConnHandle handle, const std::shared_ptr<NotifyEvent>& event) override;

  private:
    // The events registered for new connections: a registration cannot be ended, so each
    // event is registered once however often the monitor asks.
    std::mutex mutex_;
    std::vector<std::weak_ptr<NotifyEvent>> registered_;
};

}  // namespace tarnix
