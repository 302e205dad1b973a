#pragma once
// lab-ac's stand-in for the provider's message server: it takes the clients' on-line,
// off-line and keep-alive datagrams on UDP (at the same port number as lab-ac's TCP
// port), logs each one and keeps the latest for the NOTICES command.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Socket.h"

namespace tarnix::labac {

struct Notice {
    std::string kind;  // "online", "offline", "keep-alive" or "type-N"
    std::string name;  // the name field up to its first zero byte
    std::string from;  // sender as host:port
};

// What a datagram says, or false when it is too short to carry a type.
bool decodeNotice(const unsigned char* bytes, std::size_t size, Notice& notice);

class NoticeInbox {
  public:
    static constexpr std::size_t kKept = 1000;
    using Log = std::function<void(const std::string&)>;

    explicit NoticeInbox(Log log) : log_(std::move(log)) {}
    ~NoticeInbox() { stop(); }
    NoticeInbox(const NoticeInbox&) = delete;
    NoticeInbox& operator=(const NoticeInbox&) = delete;

    bool start(const std::string& host, std::uint16_t port);
    void stop();
    // Oldest first.
    std::vector<Notice> notices() const;

  private:
    void receiveLoop();

    Log log_;
    Socket socket_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::deque<Notice> notices_;
};

}  // namespace tarnix::labac
