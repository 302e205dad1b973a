// HTTP/1.0 over a plain socket, for the native build: enough for the update source's
// plain answers (a length or a closed connection; no chunked bodies, no proxy).
#include "base/net/HttpGet.h"

#include "base/Socket.h"

namespace tarnix {
namespace {

constexpr std::size_t kMaxHeader = 64 * 1024;

}  // namespace

HttpOutcome httpGet(const HttpAddress& address, std::uint32_t timeoutMs,
                    const HttpReceiver& receiver) {
    HttpOutcome outcome;
    socketsStartup();
    Socket socket = Socket::connectTcp(address.host, address.port, timeoutMs);
    if (!socket.valid()) return outcome;
    socket.setSendTimeout(timeoutMs);
    std::string request = "GET " + address.path + " HTTP/1.0\r\nHost: " + address.host;
    if (address.port != 80) request += ":" + std::to_string(address.port);
    request += "\r\nConnection: close\r\n\r\n";
    if (!socket.sendAll(request)) return outcome;

    std::string head;
    char buffer[16 * 1024];
    std::size_t headEnd;
    while ((headEnd = head.find("\r\n\r\n")) == std::string::npos) {
        if (head.size() > kMaxHeader) return outcome;
        long n = socket.receive(buffer, sizeof buffer, timeoutMs);
        if (n <= 0) return outcome;
        head.append(buffer, std::size_t(n));
    }
    std::string body = head.substr(headEnd + 4);
    head.resize(headEnd + 2);
    const HttpHead parsed = parseHttpHead(head);
    if (!parsed.valid) return outcome;
    outcome.status = parsed.status;
    if (outcome.status != 200) {
        outcome.result = HttpResult::NotOk;
        return outcome;
    }
    if (parsed.chunked || !parsed.lengthValid) return outcome;
    const std::optional<std::uint64_t> length = parsed.length;
    if (receiver.onLength && !receiver.onLength(length)) {
        outcome.result = HttpResult::Stopped;
        return outcome;
    }
    std::uint64_t received = 0;
    auto deliver = [&](const char* data, std::size_t size) {
        if (length && received + size > *length) size = std::size_t(*length - received);
        received += size;
        return size == 0 || !receiver.onData || receiver.onData(std::string_view(data, size));
    };
    if (!deliver(body.data(), body.size())) {
        outcome.result = HttpResult::Stopped;
        return outcome;
    }
    while (!length || received < *length) {
        long n = socket.receive(buffer, sizeof buffer, timeoutMs);
        if (n == kSocketClosed) break;
        if (n < 0) return outcome;
        if (!deliver(buffer, std::size_t(n))) {
            outcome.result = HttpResult::Stopped;
            return outcome;
        }
    }
    // A connection that closes before the announced length is a broken answer.
    if (length && received < *length) return outcome;
    outcome.result = HttpResult::Done;
    return outcome;
}

}  // namespace tarnix
