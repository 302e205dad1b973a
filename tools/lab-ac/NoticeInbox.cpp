#include "NoticeInbox.h"

#include <chrono>

#include "messageserver/Datagram.h"

namespace tarnix::labac {

bool decodeNotice(const unsigned char* bytes, std::size_t size, Notice& notice) {
    if (size < 4) return false;
    const std::uint32_t type = datagramType(bytes);
    switch (type) {
        case kOnlineType: notice.kind = "online"; break;
        case kOfflineType: notice.kind = "offline"; break;
        case kKeepAliveType: notice.kind = "keep-alive"; break;
        default: notice.kind = "type-" + std::to_string(type);
    }
    notice.name.clear();
    for (std::size_t i = kNameOffset; i < size && i < kNameOffset + kNameFieldSize && bytes[i]; ++i)
        notice.name += static_cast<char>(bytes[i]);
    return true;
}

bool NoticeInbox::start(const std::string& host, std::uint16_t port) {
    socket_ = Socket::bindUdp(host, port);
    if (!socket_.valid()) return false;
    stopping_ = false;
    thread_ = std::thread(&NoticeInbox::receiveLoop, this);
    return true;
}

void NoticeInbox::stop() {
    stopping_ = true;
    socket_.shutdownBoth();
    if (thread_.joinable()) thread_.join();
    socket_.close();
}

std::vector<Notice> NoticeInbox::notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {notices_.begin(), notices_.end()};
}

void NoticeInbox::receiveLoop() {
    unsigned char buffer[2048];
    while (!stopping_) {
        std::string host;
        std::uint16_t port = 0;
        const long got = socket_.receiveFrom(buffer, sizeof buffer, kSocketForever, &host, &port);
        if (got < 0 && got != kSocketTimeout) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Notice notice;
        if (got <= 0 || !decodeNotice(buffer, static_cast<std::size_t>(got), notice)) continue;
        notice.from = host + ":" + std::to_string(port);
        if (log_) log_("notice " + notice.kind + " " + notice.name + " from " + notice.from);
        std::lock_guard<std::mutex> lock(mutex_);
        notices_.push_back(std::move(notice));
        if (notices_.size() > kKept) notices_.pop_front();
    }
}

}  // namespace tarnix::labac
