#pragma once
// One HTTP GET of the update source: the version list and the package. WinINet on Windows
// (with the system's proxy settings), plain sockets elsewhere. Redirects are not followed,
// nothing is taken from a cache, and every wait (connecting, and each wait for the server
// to send) is bounded by the request's time-out, so a server that stalls ends the request.
//
// Threads: blocks its caller; call it from a worker, never from a window's thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/net/Url.h"

namespace tarnix {

struct HttpReceiver {
    // Status 200: the length the server announced, if it did; false stops the request.
    std::function<bool(std::optional<std::uint64_t> length)> onLength;
    // The body, piece by piece; false stops the request.
    std::function<bool(std::string_view bytes)> onData;
};

enum class HttpResult {
    Done,          // status 200 and the whole body delivered
    NetworkError,  // no connection, a time-out, a broken or malformed answer
    NotOk,         // any status but 200 (redirects included); no body was delivered
    Stopped,       // the receiver stopped it
};

struct HttpOutcome {
    HttpResult result = HttpResult::NetworkError;
    int status = 0;  // when the server answered
};

// The connect time-out of the update check; also bounds every wait for the server.
inline constexpr std::uint32_t kHttpTimeoutMs = 5000;

HttpOutcome httpGet(const HttpAddress& address, std::uint32_t timeoutMs,
                    const HttpReceiver& receiver);

// Reads "Content-Length"-style decimal text: digits only, at most 2^63 - 1.
std::optional<std::uint64_t> parseContentLength(std::string_view text);

// The head of an answer read off a socket (the native build's own HTTP), up to and
// including the CR LF that ends its last header line.
struct HttpHead {
    bool valid = false;  // a status line "HTTP/x NNN ..." and readable headers
    int status = 0;
    bool chunked = false;
    bool lengthValid = true;  // false: a Content-Length that is not a length
    std::optional<std::uint64_t> length;
};
HttpHead parseHttpHead(std::string_view head);

}  // namespace tarnix
