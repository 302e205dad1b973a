#include "base/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/SocketResolve.h"

namespace tarnix {
namespace {

int fdOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool socketsStartup() {
    return true;
}

void Socket::close() {
    if (valid()) ::close(fdOf(handle_));
    handle_ = kInvalid;
    closeWake();
}

void Socket::shutdownBoth() {
    shut_ = true;
    if (valid()) ::shutdown(fdOf(handle_), SHUT_RDWR);
    if (wake_[1] != kInvalid) {
        const char byte = 1;
        // A full pipe is woken already.
        [[maybe_unused]] ssize_t written = ::write(fdOf(wake_[1]), &byte, 1);
    }
}

void Socket::openWake() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    wake_[0] = ends[0];
    wake_[1] = ends[1];
}

void Socket::closeWake() {
    for (std::intptr_t& end : wake_) {
        if (end != kInvalid) ::close(fdOf(end));
        end = kInvalid;
    }
}

int Socket::waitReadableOrWoken(std::uint32_t timeoutMs) {
    pollfd waitFor[2] = {{fdOf(handle_), POLLIN, 0}, {fdOf(wake_[0]), POLLIN, 0}};
    const int limit = timeoutMs == kSocketForever ? -1 : static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT32_MAX));
    int ready;
    do {
        ready = ::poll(waitFor, 2, limit);  // a signal restarts the whole wait: rare
    } while (ready < 0 && errno == EINTR);
    if (ready < 0 || waitFor[1].revents) return -1;
    return ready > 0 ? 1 : 0;
}

Socket Socket::connectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeoutMs) {
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Socket();
    Socket socket(fd);
    int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) return Socket();
        pollfd waitFor{fd, POLLOUT, 0};
        int timeout = timeoutMs == kSocketForever ? -1 : static_cast<int>(timeoutMs);
        int ready;
        do {
            ready = ::poll(&waitFor, 1, timeout);
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) return Socket();
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return Socket();
    }
    fcntl(fd, F_SETFL, flags);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return socket;
}

Socket Socket::listenTcp(const std::string& host, std::uint16_t port, int backlog) {
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Socket();
    Socket socket(fd);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Socket();
    if (::listen(fd, backlog) != 0) return Socket();
    return socket;
}

Socket Socket::bindUdp(const std::string& host, std::uint16_t port) {
    sockaddr_in address;
    if (!resolve(host, port, address)) return Socket();
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Socket();
    Socket socket(fd);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return Socket();
    return socket;
}

std::uint16_t Socket::localPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (!valid() || getsockname(fdOf(handle_), reinterpret_cast<sockaddr*>(&address), &length))
        return 0;
    return ntohs(address.sin_port);
}

int Socket::pollReadable(std::uint32_t sliceMs) {
    pollfd waitFor{fdOf(handle_), POLLIN, 0};
    int ready = ::poll(&waitFor, 1, static_cast<int>(sliceMs));
    if (ready < 0) return errno == EINTR ? 0 : -1;
    return ready > 0 ? 1 : 0;
}

Socket Socket::accept(std::uint32_t timeoutMs) {
    if (waitReadable(timeoutMs) != 1) return Socket();
    int fd = ::accept4(fdOf(handle_), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return Socket();
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return Socket(fd);
}

void Socket::setSendTimeout(std::uint32_t timeoutMs) {
    timeval limit{static_cast<time_t>(timeoutMs / 1000),
                  static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
    if (valid()) setsockopt(fdOf(handle_), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

bool Socket::sendAll(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (shut_ || !valid()) return false;
        ssize_t sent = ::send(fdOf(handle_), bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
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
    ssize_t got;
    do {
        got = ::recv(fdOf(handle_), buffer, size, 0);
    } while (got < 0 && errno == EINTR);
    return got < 0 ? kSocketError : static_cast<long>(got);
}

bool Socket::sendTo(const void* data, std::size_t size, const std::string& host,
                    std::uint16_t port) {
    sockaddr_in address;
    if (!valid() || !resolve(host, port, address)) return false;
    ssize_t sent = ::sendto(fdOf(handle_), data, size, MSG_NOSIGNAL,
                            reinterpret_cast<sockaddr*>(&address), sizeof address);
    return sent == static_cast<ssize_t>(size);
}

long Socket::receiveFrom(void* buffer, std::size_t size, std::uint32_t timeoutMs,
                         std::string* fromHost, std::uint16_t* fromPort) {
    int ready = waitReadable(timeoutMs);
    if (ready == 0) return kSocketTimeout;
    if (ready < 0) return shut_ ? kSocketClosed : kSocketError;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t got =
        ::recvfrom(fdOf(handle_), buffer, size, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (got < 0) return kSocketError;
    if (fromHost) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        *fromHost = text;
    }
    if (fromPort) *fromPort = ntohs(from.sin_port);
    return static_cast<long>(got);
}

}  // namespace tarnix
