#pragma once
// The remote-access view in lab mode: lab-ac's sessions are the machine's connections.
// One watching connection to lab-ac keeps the list and drives the notifications; when it
// breaks (lab-ac killed or gone down), every known connection counts as ended and the
// view fails its queries until the watch is made again.

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Socket.h"
#include "dial/RemoteAccess.h"
#include "dial/lab/LabProtocol.h"

namespace tarnix {

class LabRemoteAccess : public RemoteAccess {
  public:
    // An empty host makes a view that has no concentrator: every query fails.
    LabRemoteAccess(std::string host, std::uint16_t port);
    ~LabRemoteAccess() override;

    bool enumConnections(std::vector<ActiveConnection>& out, std::size_t room = 10) override;
    bool ipAddress(ConnHandle handle, std::string& address) override;
    bool statistics(ConnHandle handle, LinkStatistics& stats) override;
    bool enumDevices(std::vector<RasDevice>& out) override;
    std::shared_ptr<NotifyEvent> createEvent() override;
    bool notifyConnection(const std::shared_ptr<NotifyEvent>& event) override;
    bool notifyDisconnection(ConnHandle handle, const std::shared_ptr<NotifyEvent>& event) override;

    // True while the watching connection stands.
    bool watching();
    // Waits until the watch sees `handle` listed (or, with `present` false, gone).
    bool waitFor(ConnHandle handle, bool present, std::uint32_t timeoutMs);

  private:
    using Events = std::vector<std::weak_ptr<NotifyEvent>>;

    void watchLoop();
    void readEvents(Socket& socket);
    // Callers hold mutex_; the events to signal are added to `fire`.
    void connectionUp(const lab::SessionInfo& session, Events& fire);
    void connectionDown(ConnHandle handle, Events& fire);
    static void signal(const Events& events);
    // Waits, with mutex_ held through `lock`, for a standing watch or a failed attempt.
    bool awaitWatch(std::unique_lock<std::mutex>& lock);

    const std::string host_;
    const std::uint16_t port_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool up_ = false;
    bool retryNow_ = false;
    unsigned attempts_ = 0;  // finished attempts to make the watch
    Socket* watchSocket_ = nullptr;
    std::vector<lab::SessionInfo> known_;  // in the order they came up
    Events onConnection_;
    std::map<ConnHandle, Events> onDisconnection_;
    std::thread thread_;
};

}  // namespace tarnix
