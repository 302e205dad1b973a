#pragma once
// MessageChannel: the client's UDP link to the provider's message server. It tells the
// server when an account goes on and off line, can send a keep-alive every 40 seconds,
// and runs a receiving loop on its own socket (bound to any address, a system-chosen
// port) that writes two diagnostic lines and otherwise drops what arrives.
//
// Threads: open, startKeepAlive, openOnFirstNotice and close belong to one thread (the
// owner's); the sends may come from any thread, also while close runs. Once asked to, the
// first notice opens the channel on its sender's thread, under a lock that close takes
// too. Close joins both worker threads and never waits out the keep-alive's sleep; the
// destructor closes. One channel per process.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/Event.h"
#include "base/Socket.h"
#include "messageserver/Datagram.h"
#include "messageserver/MessageServer.h"
#include "messageserver/OnlineNotices.h"

namespace tarnix {

class MessageChannel : public OnlineNotices {
  public:
    // A set-up failure of open, with its text (GB2312): IDS_MSG_SOCKETS_FAILED,
    // IDS_MSG_BIND_FAILED or IDS_MSG_THREAD_FAILED.
    class Exception {
      public:
        // Keeps at most 255 bytes of the text.
        explicit Exception(std::string_view text);
        const char* message() const { return message_; }

      private:
        char message_[256] = {};
    };

    static constexpr std::uint32_t kKeepAliveIntervalMs = 40000;
    // The receiving loop waits for a datagram without end: close() wakes the wait at once
    // (Socket::shutdownBoth), so the thread need not wake to look at its stop flag.
    static constexpr std::uint32_t kReceiveWaitMs = kSocketForever;

    // Receives the receiving loop's diagnostic lines ("recv error\n", ...).
    using Output = std::function<void(std::string_view line)>;

    // An empty output writes to standard output, flushed after every line.
    explicit MessageChannel(MessageServer server, Output output = {});
    ~MessageChannel();
    MessageChannel(const MessageChannel&) = delete;
    MessageChannel& operator=(const MessageChannel&) = delete;

    // Binds the socket and starts the receiving loop; throws Exception. Nothing happens
    // on a channel that is already open.
    void open();
    // Sends a keep-alive now and every 40 seconds until close. A thread that cannot be
    // started is not reported.
    void startKeepAlive();
    // From now on the first on-line or off-line notice opens the channel and starts its
    // keep-alive (a failure to open is dropped with that notice; the next one tries again),
    // unless close came first: a client that has not dialled has nothing to tell the
    // server and no link to reach it by, so the two threads would only wait. Call before
    // any notice can be sent.
    void openOnFirstNotice() { openOnFirstNotice_ = true; }
    // One datagram each, not awaited and not retried. Nothing is sent while the channel
    // is not open or when no server address is configured.
    void sendOnline(const std::string& accountName) override;
    void sendOffline(const std::string& accountName) override;
    // Stops the keep-alive and the receiving loop and releases the socket. Returns at once
    // on a channel that was never opened.
    void close();

    // The port the channel receives on; 0 while it is not open.
    std::uint16_t localPort() const;

  private:
    void openForNotice();
    void send(const StatusDatagram& datagram);
    void receiveLoop();
    void keepAliveLoop();

    const MessageServer server_;
    const Output output_;

    bool openOnFirstNotice_ = false;  // written by the owner before any sender runs
    // Held by a notice while it opens the channel, and by close to end that for good: two
    // first notices at once open it once, and none opens it again after close.
    std::mutex openMutex_;
    bool closed_ = false;

    // Held by senders and by close around every use of socket_ that may race; never
    // across the receiving loop's wait.
    mutable std::mutex socketMutex_;
    Socket socket_;

    std::thread receiver_;
    std::atomic<bool> stopReceiving_{false};

    std::thread keepAlive_;
    // Cleared by close; the keep-alive thread goes on while it is set.
    std::atomic<bool> keepAliveRunning_{false};
    // Set by close to cut the keep-alive's sleep short.
    Event keepAliveWake_;
};

}  // namespace tarnix
