#include "base/net/HttpGet.h"

#include <string>

#include "base/AsciiText.h"

namespace tarnix {
namespace {

// The value of header `name` (lower case) in the header block, if present.
std::optional<std::string_view> headerValue(std::string_view head, std::string_view name) {
    std::size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string_view::npos) {
        at += 2;
        std::size_t colon = head.find(':', at);
        std::size_t end = head.find("\r\n", at);
        if (colon == std::string_view::npos || end == std::string_view::npos || colon > end)
            continue;
        if (lowerAscii(head.substr(at, colon - at)) == name) return head.substr(colon + 1, end - colon - 1);
    }
    return std::nullopt;
}

}  // namespace

HttpHead parseHttpHead(std::string_view head) {
    HttpHead parsed;
    // "HTTP/1.x NNN reason"
    if (head.compare(0, 5, "HTTP/") != 0) return parsed;
    std::size_t space = head.find(' ');
    if (space == std::string_view::npos || space + 4 >= head.size()) return parsed;
    if (head[space + 4] != ' ' && head[space + 4] != '\r') return parsed;  // three digits
    std::optional<std::uint64_t> status = parseContentLength(head.substr(space + 1, 3));
    if (!status) return parsed;
    parsed.valid = true;
    parsed.status = int(*status);
    if (auto coding = headerValue(head, "transfer-encoding"))
        parsed.chunked = lowerAscii(*coding).find("chunked") != std::string::npos;
    if (auto text = headerValue(head, "content-length")) {
        parsed.length = parseContentLength(*text);
        parsed.lengthValid = parsed.length.has_value();
    }
    return parsed;
}

std::optional<std::uint64_t> parseContentLength(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 18) return std::nullopt;  // below 10^18, no overflow
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
    }
    return value;
}

}  // namespace tarnix
