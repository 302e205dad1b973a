#include "dial/lab/LabProtocol.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "base/Socket.h"

namespace tarnix::lab {

// Keeps a request's socket where Abandon::now() can shut it down, for as long as the
// request uses it.
class AbandonGuard {
  public:
    AbandonGuard(Abandon* abandon, Socket& socket) : abandon_(abandon), socket_(socket) {
        if (!abandon_) return;
        std::lock_guard<std::mutex> lock(abandon_->mutex_);
        if (abandon_->done_) {
            abandoned_ = true;
        } else {
            abandon_->sockets_.push_back(&socket_);
        }
    }
    ~AbandonGuard() {
        if (!abandon_ || abandoned_) return;
        std::lock_guard<std::mutex> lock(abandon_->mutex_);
        auto& sockets = abandon_->sockets_;
        sockets.erase(std::remove(sockets.begin(), sockets.end(), &socket_), sockets.end());
    }
    AbandonGuard(const AbandonGuard&) = delete;
    AbandonGuard& operator=(const AbandonGuard&) = delete;
    // True when the request was given up before it was sent.
    bool abandoned() const { return abandoned_; }

  private:
    Abandon* abandon_;
    Socket& socket_;
    bool abandoned_ = false;
};

void Abandon::now() {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    for (Socket* socket : sockets_) socket->shutdownBoth();
}

bool Abandon::done() {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

namespace {

// A lab-ac that does not take the connection within this is not there; kept short so that
// a request being abandoned never waits long for its connection.
constexpr std::uint32_t kConnectLimitMs = 1000;

}  // namespace



std::vector<std::string> splitLine(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t space = line.find(' ', start);
        if (space == std::string::npos) space = line.size();
        if (space > start) fields.push_back(line.substr(start, space - start));
        start = space + 1;
    }
    return fields;
}

std::string makeLine(const std::vector<std::string>& rawFields) {
    std::string line;
    for (const std::string& field : rawFields) {
        if (!line.empty()) line += ' ';
        line += encodeField(field);
    }
    return line + "\n";
}

bool parseUnsigned(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool parseEndpoint(const std::string& text, std::string& host, std::uint16_t& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::uint64_t number = 0;
    if (!parseUnsigned(text.substr(colon + 1), number) || number == 0 || number > 65535)
        return false;
    host = text.substr(0, colon);
    port = static_cast<std::uint16_t>(number);
    return true;
}

std::string formatSession(const std::string& keyword, const SessionInfo& s) {
    return makeLine({keyword, std::to_string(s.handle), s.entry, s.account, s.ip,
                     std::to_string(s.bytesSent), std::to_string(s.bytesReceived),
                     std::to_string(s.durationMs), std::to_string(s.bitsPerSecond)});
}

bool parseSession(const std::vector<std::string>& fields, SessionInfo& s) {
    if (fields.size() != 9) return false;
    return parseUnsigned(fields[1], s.handle) && decodeField(fields[2], s.entry) &&
           decodeField(fields[3], s.account) && decodeField(fields[4], s.ip) &&
           parseUnsigned(fields[5], s.bytesSent) && parseUnsigned(fields[6], s.bytesReceived) &&
           parseUnsigned(fields[7], s.durationMs) && parseUnsigned(fields[8], s.bitsPerSecond);
}

bool isReplyEnd(const std::string& keyword) {
    return keyword == "OK" || keyword == "ERR" || keyword == "END" || keyword == "PONG" ||
           keyword == "BYE";
}

int Reply::error() const {
    if (!complete || last()[0] != "ERR" || last().size() < 2) return 0;
    std::uint64_t code = 0;
    return parseUnsigned(last()[1], code) && code < 100000 ? static_cast<int>(code) : 0;
}

Reply request(const std::string& host, std::uint16_t port, const std::string& line,
              std::uint32_t timeoutMs, Abandon* abandon) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto remaining = [&]() -> std::uint32_t {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return left.count() > 0 ? static_cast<std::uint32_t>(left.count()) : 0;
    };

    Reply reply;
    if (abandon && abandon->done()) return reply;
    Socket socket = Socket::connectTcp(host, port, std::min(timeoutMs, kConnectLimitMs));
    if (!socket.valid()) return reply;
    AbandonGuard guard(abandon, socket);
    if (guard.abandoned() || !socket.sendAll(line)) return reply;
    LineReader reader(socket);
    std::string text;
    for (;;) {
        std::uint32_t left = remaining();
        if (left == 0) return reply;
        LineReader::Result result = reader.readLine(text, left);
        if (result == LineReader::Result::TooLong) continue;
        if (result != LineReader::Result::Line) return reply;
        std::vector<std::string> fields = splitLine(text);
        if (fields.empty()) continue;
        reply.lines.push_back(fields);
        if (isReplyEnd(fields[0])) {
            reply.complete = true;
            return reply;
        }
    }
}

}  // namespace tarnix::lab
