#include "base/Socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "base/SocketResolve.h"

namespace tarnix {
namespace {

SOCKET sockOf(std::intptr_t handle) {
    return static_cast<SOCKET>(handle);
}

WSAEVENT eventOf(std::intptr_t event) {
    return reinterpret_cast<WSAEVENT>(event);
}

void setNoDelay(SOCKET s) {
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

// select() on one socket; 1 ready, 0 time-out, -1 error.
int selectOne(SOCKET s, bool forWrite, std::uint32_t timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set errors;
    FD_ZERO(&errors);
    FD_SET(s, &errors);
    timeval limit{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
    int ready = forWrite ? ::select(0, nullptr, &set, &errors, &limit)
                         : ::select(0, &set, nullptr, nullptr, &limit);
    if (ready == SOCKET_ERROR) return -1;
    if (ready == 0) return 0;
    if (forWrite && FD_ISSET(s, &errors)) return -1;
    return 1;
}

}  // namespace

bool socketsStartup() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

void Socket::close() {
    if (valid()) ::closesocket(sockOf(handle_));
    handle_ = kInvalid;
    closeWake();
}

void Socket::shutdownBoth() {
    shut_ = true;
    if (valid()) ::shutdown(sockOf(handle_), SD_BOTH);
    if (wake_[0] != kInvalid) WSASetEvent(eventOf(wake_[0]));
}

void Socket::openWake() {
    WSAEVENT wake = WSACreateEvent();
    WSAEVENT ready = WSACreateEvent();
    if (wake != WSA_INVALID_EVENT && ready != WSA_INVALID_EVENT) {
        wake_[0] = reinterpret_cast<std::intptr_t>(wake);
        wake_[1] = reinterpret_cast<std::intptr_t>(ready);
        return;
    }
    if (wake != WSA_INVALID_EVENT) WSACloseEvent(wake);
    if (ready != WSA_INVALID_EVENT) WSACloseEvent(ready);
}

void Socket::closeWake() {
    for (std::intptr_t& event : wake_) {
        if (event != kInvalid) WSACloseEvent(eventOf(event));
        event = kInvalid;
    }
}

// The socket's readiness sets an event (WSAEventSelect, which records a datagram or
// connection already waiting at once), and the thread sleeps on it and the wake-up.
int Socket::waitReadableOrWoken(std::uint32_t timeoutMs) {
    const SOCKET s = sockOf(handle_);
    WSAEVENT events[2] = {eventOf(wake_[1]), eventOf(wake_[0])};
    WSAResetEvent(events[0]);
    if (WSAEventSelect(s, events[0], FD_READ | FD_ACCEPT | FD_CLOSE) != 0) return -1;
    const DWORD waited = WSAWaitForMultipleEvents(
        2, events, FALSE, timeoutMs == kSocketForever ? WSA_INFINITE : timeoutMs, FALSE);
    // WSAEventSelect made the socket non-blocking: it is a plain blocking socket again for
    // the reads and sends that follow.
    WSAEventSelect(s, nullptr, 0);
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    if (waited == WSA_WAIT_EVENT_0) return 1;
    return waited == WSA_WAIT_TIMEOUT ? 0 : -1;
}

Socket Socket::connectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs) {
    socketsStartup();
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return Socket();
    Socket socket(static_cast<std::intptr_t>(s));
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return Socket();
        std::uint32_t limit = timeoutMs == kSocketForever ? 0x7FFFFFFF : timeoutMs;
        if (selectOne(s, true, limit) != 1) return Socket();
        int error = 0;
        int length = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
            error != 0)
            return Socket();
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    setNoDelay(s);
    return socket;
}

Socket Socket::listenTcp(const std::string& host, std::uint16_t port, int backlog) {
    socketsStartup();
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return Socket();
    Socket socket(static_cast<std::intptr_t>(s));
    // Without this another program could bind the same port and take our connections.
    BOOL exclusive = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Socket();
    if (::listen(s, backlog) != 0) return Socket();
    return socket;
}

Socket Socket::bindUdp(const std::string& host, std::uint16_t port) {
    socketsStartup();
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return Socket();
    Socket socket(static_cast<std::intptr_t>(s));
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Socket();
    return socket;
}

std::uint16_t Socket::localPort() const {
    sockaddr_in address{};
    int length = sizeof address;
    if (!valid() ||
        getsockname(sockOf(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

int Socket::pollReadable(std::uint32_t sliceMs) {
    return selectOne(sockOf(handle_), false, sliceMs);
}

Socket Socket::accept(std::uint32_t timeoutMs) {
    if (waitReadable(timeoutMs) != 1) return Socket();
    SOCKET s = ::accept(sockOf(handle_), nullptr, nullptr);
    if (s == INVALID_SOCKET) return Socket();
    // An accepted socket inherits nothing we rely on, but make sure it blocks.
    u_long nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    setNoDelay(s);
    return Socket(static_cast<std::intptr_t>(s));
}

void Socket::setSendTimeout(std::uint32_t timeoutMs) {
    DWORD limit = timeoutMs;
    if (valid())
        setsockopt(sockOf(handle_), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit),
                   sizeof limit);
}

bool Socket::sendAll(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (shut_ || !valid()) return false;
        int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
        int sent = ::send(sockOf(handle_), bytes, chunk, 0);
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

long Socket::receive(void* buffer, std::size_t size, std::uint32_t timeoutMs) {
    int ready = waitReadable(timeoutMs);
    if (ready == 0) return kSocketTimeout;
    if (ready < 0) return shut_ ? kSocketClosed : kSocketError;
    int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
    int got = ::recv(sockOf(handle_), static_cast<char*>(buffer), chunk, 0);
    if (got == SOCKET_ERROR) {
        // A reset by the peer is its way of closing.
        return WSAGetLastError() == WSAECONNRESET ? kSocketClosed : kSocketError;
    }
    return got;
}

bool Socket::sendTo(const void* data, std::size_t size, const std::string& host,
                    std::uint16_t port) {
    sockaddr_in address;
    if (!valid() || !resolve(host, port, address)) return false;
    int sent = ::sendto(sockOf(handle_), static_cast<const char*>(data), static_cast<int>(size), 0,
                        reinterpret_cast<sockaddr*>(&address), sizeof address);
    return sent == static_cast<int>(size);
}

long Socket::receiveFrom(void* buffer, std::size_t size, std::uint32_t timeoutMs,
                         std::string* fromHost, std::uint16_t* fromPort) {
    for (;;) {
        int ready = waitReadable(timeoutMs);
        if (ready == 0) return kSocketTimeout;
        if (ready < 0) return shut_ ? kSocketClosed : kSocketError;
        sockaddr_in from{};
        int length = sizeof from;
        int got = ::recvfrom(sockOf(handle_), static_cast<char*>(buffer), static_cast<int>(size), 0,
                             reinterpret_cast<sockaddr*>(&from), &length);
        if (got == SOCKET_ERROR) {
            int error = WSAGetLastError();
            // An ICMP "port unreachable" for an earlier sendto surfaces here; it is not
            // a datagram and not a failure of this socket.
            if (error == WSAECONNRESET) continue;
            // A datagram longer than the buffer: Winsock fills the buffer and drops the rest,
            // as recvfrom does elsewhere.
            if (error == WSAEMSGSIZE)
                got = static_cast<int>(size);
            else
                return kSocketError;
        }
        if (fromHost) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
            *fromHost = text;
        }
        if (fromPort) *fromPort = ntohs(from.sin_port);
        return got;
    }
}

}  // namespace tarnix
