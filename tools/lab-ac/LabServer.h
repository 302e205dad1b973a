#pragma once
// lab-ac's network side: one TCP port for clients, watchers and the administrator, one
// thread per connection; the same port number on UDP takes the clients' notices. Sessions belong to
// the server, not to the connection that dialled them, so a client that exits leaves its session
// up.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "Concentrator.h"
#include "NoticeInbox.h"
#include "base/Socket.h"

namespace tarnix::labac {

class LabServer {
  public:
    using Log = std::function<void(const std::string&)>;

    LabServer(Concentrator concentrator, Log log = nullptr);
    ~LabServer();
    LabServer(const LabServer&) = delete;
    LabServer& operator=(const LabServer&) = delete;

    // Listens on host:port (port 0: the system chooses) and serves until stop().
    bool start(const std::string& host, std::uint16_t port);
    std::uint16_t port() const { return port_; }
    void stop();

  private:
    struct Connection {
        Socket socket;
        std::mutex writing;
        bool watching = false;  // guarded by the server's mutex
        std::atomic<bool> finished{false};
        std::thread thread;
        bool send(const std::string& text);
        // Used by the connection's own thread only: its reader, and requests that came
        // while a dial was held (none: a line too long).
        LineReader* reader = nullptr;
        std::deque<std::optional<std::string>> pending;
    };
    using Clock = std::chrono::steady_clock;

    void acceptLoop();
    void serve(const std::shared_ptr<Connection>& connection);
    // False when the connection is to end after this line.
    bool handle(Connection& connection, const std::string& line);
    bool holdDial(Connection& connection, const std::string& account, std::uint32_t delayMs);
    void broadcastDown(const SessionInfo& session, const std::string& cause);
    void goDown(unsigned seconds);
    bool isDown();
    void reapFinished();
    void tickWatchers();
    void log(const std::string& text);

    Log log_;
    std::mutex mutex_;  // the concentrator, the connection list, the down time
    Concentrator concentrator_;
    std::list<std::shared_ptr<Connection>> connections_;
    Clock::time_point downUntil_{};
    std::uint32_t dialDelayMs_ = 0;  // how long each dial takes before it is answered
    Socket listener_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    NoticeInbox notices_{[this](const std::string& text) { log(text); }};
};

}  // namespace tarnix::labac
