#include "LabLink.h"

#include <ws2tcpip.h>

#include <cstdlib>

namespace standin {
namespace {

bool startSockets() {
    static bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET connectTo(const std::string& host, std::uint16_t port) {
    if (!startSockets()) return INVALID_SOCKET;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &to.sin_addr) != 1 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// One line without its LF; false on close, error or time-out.
bool readLine(SOCKET s, std::string& pending, std::string& line, DWORD timeoutMs) {
    DWORD started = GetTickCount();
    for (;;) {
        std::size_t lf = pending.find('\n');
        if (lf != std::string::npos) {
            line = pending.substr(0, lf);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pending.erase(0, lf + 1);
            return true;
        }
        DWORD waited = GetTickCount() - started;
        if (timeoutMs != INFINITE && waited >= timeoutMs) return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s, &readable);
        DWORD left = timeoutMs == INFINITE ? 1000 : timeoutMs - waited;
        timeval tv{static_cast<long>(left / 1000), static_cast<long>((left % 1000) * 1000)};
        int ready = select(0, &readable, nullptr, nullptr, &tv);
        if (ready < 0) return false;
        if (ready == 0) continue;
        char chunk[1024];
        int got = recv(s, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        pending.append(chunk, static_cast<std::size_t>(got));
    }
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at <= line.size()) {
        std::size_t space = line.find(' ', at);
        if (space == std::string::npos) space = line.size();
        if (space > at) fields.push_back(line.substr(at, space - at));
        at = space + 1;
    }
    return fields;
}

bool isEnd(const std::string& keyword) {
    return keyword == "OK" || keyword == "ERR" || keyword == "END" || keyword == "PONG" ||
           keyword == "BYE";
}

}  // namespace

int LabReply::error() const {
    if (!complete || lines.empty()) return 678;
    const auto& last = lines.back();
    if (last[0] != "ERR") return 0;
    int n = last.size() > 1 ? std::atoi(last[1].c_str()) : 0;
    return n > 0 ? n : 678;
}



bool labEndpoint(std::string& host, std::uint16_t& port) {
    char value[128];
    DWORD n = GetEnvironmentVariableA("TARNIX_STANDIN_AC", value, sizeof value);
    if (n == 0 || n >= sizeof value) return false;
    std::string text(value, n);
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    host = text.substr(0, colon);
    int p = std::atoi(text.c_str() + colon + 1);
    if (p <= 0 || p > 65535) return false;
    port = static_cast<std::uint16_t>(p);
    return true;
}

LabReply labRequest(const std::string& line, DWORD timeoutMs, CancelSlot* slot,
                    CRITICAL_SECTION* guard) {
    LabReply reply;
    std::string host;
    std::uint16_t port = 0;
    if (!labEndpoint(host, port)) return reply;
    SOCKET s = connectTo(host, port);
    if (s == INVALID_SOCKET) return reply;
    if (slot) {
        EnterCriticalSection(guard);
        const bool cancelled = slot->cancelled;
        if (!cancelled) slot->socket = s;
        LeaveCriticalSection(guard);
        if (cancelled) {
            closesocket(s);
            return reply;
        }
    }
    const std::string out = line + "\n";
    if (send(s, out.data(), static_cast<int>(out.size()), 0) == static_cast<int>(out.size())) {
        std::string pending, text;
        while (readLine(s, pending, text, timeoutMs)) {
            reply.lines.push_back(split(text));
            if (reply.lines.back().empty()) {
                reply.lines.pop_back();
                continue;
            }
            if (isEnd(reply.lines.back()[0])) {
                reply.complete = true;
                break;
            }
        }
    }
    if (slot) {
        EnterCriticalSection(guard);
        slot->socket = INVALID_SOCKET;
        LeaveCriticalSection(guard);
    }
    closesocket(s);
    return reply;
}

bool LabWatch::ensure(const std::function<void(std::uint64_t)>& onDown,
                      const std::function<void()>& onLost) {
    if (up_) return true;
    onDown_ = onDown;
    onLost_ = onLost;
    std::string host;
    std::uint16_t port = 0;
    if (!labEndpoint(host, port)) return false;
    socket_ = connectTo(host, port);
    if (socket_ == INVALID_SOCKET) return false;
    const char watch[] = "WATCH\n";
    send(socket_, watch, sizeof watch - 1, 0);
    if (!ready_) ready_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    up_ = 1;
    HANDLE thread = CreateThread(nullptr, 0, &LabWatch::run, this, 0, nullptr);
    if (!thread) {
        up_ = 0;
        closesocket(socket_);
        return false;
    }
    CloseHandle(thread);
    // The listing ends with END: from then on no session's end can be missed.
    WaitForSingleObject(ready_, 3000);
    return up_ != 0;
}

DWORD WINAPI LabWatch::run(void* param) {
    auto* self = static_cast<LabWatch*>(param);
    std::string pending, line;
    // lab-ac ticks every second: five seconds of silence is a hung lab-ac.
    while (readLine(self->socket_, pending, line, 5000)) {
        auto fields = split(line);
        if (fields.empty()) continue;
        if (fields[0] == "END") SetEvent(self->ready_);
        if (fields[0] == "DOWN" && fields.size() > 1)
            self->onDown_(std::strtoull(fields[1].c_str(), nullptr, 10));
    }
    closesocket(self->socket_);
    self->socket_ = INVALID_SOCKET;
    self->up_ = 0;
    SetEvent(self->ready_);
    self->onLost_();
    return 0;
}

}  // namespace standin
