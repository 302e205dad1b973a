#pragma once
// A small portable TCP and UDP socket (BSD sockets, Winsock 2.2 on Windows), IPv4 only.
//
// Waking a blocked thread: another thread calls shutdownBoth(); a receive, accept or
// wait in progress then returns "closed" at once. A waiting thread sleeps until data, its
// time-out or that call: it never wakes to look. The socket itself is closed only by
// close() or the destructor, after the reading thread has finished.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnix {

// Starts the sockets library once per process (WSAStartup 2.2 on Windows; nothing
// elsewhere). Safe to call from any thread, any number of times.
bool socketsStartup();

inline constexpr std::uint32_t kSocketForever = 0xFFFFFFFFu;

// Result of a receive: a byte count when positive, otherwise one of these.
inline constexpr long kSocketClosed = 0;  // the peer closed, or shutdownBoth() was called
inline constexpr long kSocketError = -1;
inline constexpr long kSocketTimeout = -2;

class Socket {
  public:
    Socket() = default;
    ~Socket();
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // A TCP connection to host:port (a dotted address or a name), or an invalid socket
    // when it cannot be made within the time-out.
    static Socket connectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs);
    // A listening TCP socket; port 0 lets the system choose (see localPort()).
    static Socket listenTcp(const std::string& host, std::uint16_t port, int backlog = 16);
    // A UDP socket bound to host:port; an empty host or "0.0.0.0" binds every address.
    static Socket bindUdp(const std::string& host, std::uint16_t port);

    bool valid() const { return handle_ != kInvalid; }
    std::uint16_t localPort() const;
    void close();
    // Stops traffic both ways and wakes any thread waiting on this socket.
    void shutdownBoth();

    // The next connection, or an invalid socket on time-out, error or shutdown.
    Socket accept(std::uint32_t timeoutMs = kSocketForever);

    // A send that cannot go on within this time fails, so a peer that stops reading
    // cannot block the sender for good.
    void setSendTimeout(std::uint32_t timeoutMs);
    bool sendAll(const void* data, std::size_t size);
    bool sendAll(const std::string& data) { return sendAll(data.data(), data.size()); }
    long receive(void* buffer, std::size_t size, std::uint32_t timeoutMs = kSocketForever);

    bool sendTo(const void* data, std::size_t size, const std::string& host, std::uint16_t port);
    // One datagram; the sender's dotted address and port go to the optional outputs.
    // 0 is an empty datagram or a shutdown.
    long receiveFrom(void* buffer, std::size_t size, std::uint32_t timeoutMs = kSocketForever,
                     std::string* fromHost = nullptr, std::uint16_t* fromPort = nullptr);

  private:
    static constexpr std::intptr_t kInvalid = -1;
    explicit Socket(std::intptr_t handle);
    // The wake-up shutdownBoth() gives a waiting thread, made with the socket: neither
    // Winsock's select nor every poll wakes on a socket that another thread shuts down.
    // Windows: two events (the wake-up, and the one the socket's readiness sets); POSIX:
    // a pipe (read end, write end).
    void openWake();
    void closeWake();
    void swapWake(Socket& other) noexcept;
    // 1 readable, 0 time-out, -1 error or shut down.
    int waitReadable(std::uint32_t timeoutMs);
    // Without a wake-up (the system gave none): one wait of at most sliceMs on the socket
    // alone: 1 readable, 0 not yet, -1 error.
    int pollReadable(std::uint32_t sliceMs);
    // With it: until the socket is readable, the time-out or the wake-up: 1 readable,
    // 0 time-out, -1 error or woken.
    int waitReadableOrWoken(std::uint32_t timeoutMs);

    std::intptr_t handle_ = kInvalid;
    std::intptr_t wake_[2] = {kInvalid, kInvalid};
    std::atomic<bool> shut_{false};
};

// Reads LF-terminated lines (a CR before the LF is dropped) from a stream socket.
class LineReader {
  public:
    enum class Result { Line, Timeout, Closed, TooLong };

    explicit LineReader(Socket& socket, std::size_t maxLine = 4096)
        : socket_(socket), maxLine_(maxLine) {}

    // TooLong: the line exceeded maxLine; its bytes up to the next LF are skipped.
    Result readLine(std::string& line, std::uint32_t timeoutMs = kSocketForever);

  private:
    Socket& socket_;
    std::size_t maxLine_;
    std::string buffer_;
    bool skipping_ = false;
};

}  // namespace tarnix
