#include "messageserver/MessageChannel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include "TextIds.h"
#include "base/Texts.h"
#include "base/ThreadName.h"

namespace tarnix {
namespace {

// After a failed read the loop rests a little, so a socket that keeps failing cannot
// spin a processor or flood the output.
constexpr auto kPauseAfterError = std::chrono::milliseconds(100);

void writeToStandardOutput(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

MessageChannel::Exception::Exception(std::string_view text) {
    const std::size_t length = std::min(text.size(), sizeof message_ - 1);
    std::memcpy(message_, text.data(), length);
}

MessageChannel::MessageChannel(MessageServer server, Output output)
    : server_(std::move(server)), output_(output ? std::move(output) : writeToStandardOutput) {}

MessageChannel::~MessageChannel() {
    close();
}

void MessageChannel::open() {
    if (receiver_.joinable()) return;
    if (!socketsStartup()) throw Exception(gbText(IDS_MSG_SOCKETS_FAILED));
    Socket socket = Socket::bindUdp("", 0);
    if (!socket.valid()) throw Exception(gbText(IDS_MSG_BIND_FAILED));
    {
        std::lock_guard<std::mutex> lock(socketMutex_);
        socket_ = std::move(socket);
    }
    stopReceiving_ = false;
    try {
        receiver_ = std::thread(&MessageChannel::receiveLoop, this);
    } catch (const std::system_error&) {
        // Without its receiving loop the channel stays closed: no socket is left behind.
        std::lock_guard<std::mutex> lock(socketMutex_);
        socket_.close();
        throw Exception(gbText(IDS_MSG_THREAD_FAILED));
    }
}

void MessageChannel::startKeepAlive() {
    if (keepAlive_.joinable()) return;
    keepAliveWake_.wait(0);  // forget a wake-up that an earlier close left unused
    keepAliveRunning_ = true;
    try {
        keepAlive_ = std::thread(&MessageChannel::keepAliveLoop, this);
    } catch (const std::system_error&) {
        keepAliveRunning_ = false;
    }
}

void MessageChannel::sendOnline(const std::string& accountName) {
    openForNotice();
    send(buildStatusDatagram(kOnlineType, accountName));
}

void MessageChannel::sendOffline(const std::string& accountName) {
    openForNotice();
    send(buildStatusDatagram(kOfflineType, accountName));
}

void MessageChannel::openForNotice() {
    if (!openOnFirstNotice_ || server_.address.empty()) return;
    std::lock_guard<std::mutex> lock(openMutex_);
    if (closed_ || receiver_.joinable()) return;
    try {
        open();
        startKeepAlive();
    } catch (const Exception&) {
        // The notices are a courtesy to the provider: without them the client still dials.
    }
}

void MessageChannel::close() {
    {
        // A notice opening the channel finishes first; none opens it after this.
        std::lock_guard<std::mutex> lock(openMutex_);
        closed_ = true;
    }
    // The flags are cleared before the joins, so a thread that has not yet looked at its
    // flag ends as soon as it does.
    keepAliveRunning_ = false;
    if (keepAlive_.joinable()) {
        keepAliveWake_.set();
        keepAlive_.join();
    }
    if (receiver_.joinable()) {
        stopReceiving_ = true;
        {
            // Wakes the receiving loop's wait instead of letting it run out.
            std::lock_guard<std::mutex> lock(socketMutex_);
            socket_.shutdownBoth();
        }
        receiver_.join();
    }
    std::lock_guard<std::mutex> lock(socketMutex_);
    socket_.close();
    stopReceiving_ = false;
}

std::uint16_t MessageChannel::localPort() const {
    std::lock_guard<std::mutex> lock(socketMutex_);
    return socket_.localPort();
}

void MessageChannel::send(const StatusDatagram& datagram) {
    if (server_.address.empty()) return;
    std::lock_guard<std::mutex> lock(socketMutex_);
    if (!socket_.valid()) return;
    socket_.sendTo(datagram.data(), datagram.size(), server_.address, server_.port);
}

void MessageChannel::receiveLoop() {
    nameThisThread("message receive");
    std::array<unsigned char, kReceiveBufferSize> buffer;
    while (!stopReceiving_) {
        // The socket is neither replaced nor closed while this thread runs, so it is read
        // without the lock; senders may use it at the same time.
        const long received = socket_.receiveFrom(buffer.data(), buffer.size(), kReceiveWaitMs);
        if (stopReceiving_) break;  // woken by close: not a failed read
        if (received == kSocketTimeout) continue;
        const std::string_view line = lineForReceived(buffer.data(), received);
        if (!line.empty()) output_(line);
        if (received < 0) std::this_thread::sleep_for(kPauseAfterError);
    }
}

void MessageChannel::keepAliveLoop() {
    nameThisThread("keep-alive");
    const StatusDatagram keepAlive = buildKeepAliveDatagram();
    while (keepAliveRunning_) {
        send(keepAlive);
        keepAliveWake_.wait(kKeepAliveIntervalMs);
    }
}

}  // namespace tarnix
