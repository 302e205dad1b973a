#include "base/net/Url.h"

#include "base/AsciiText.h"

namespace tarnix {
namespace {

constexpr std::size_t kMaxUrlLength = 2048;

bool isHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.';
}

// Printable ASCII without the blank: what may stand in a request line.
bool isPathChar(char c) { return c > ' ' && c < 0x7f; }

}  // namespace

std::optional<HttpAddress> parseHttpUrl(std::string_view url) {
    while (!url.empty() && (url.front() == ' ' || url.front() == '\t')) url.remove_prefix(1);
    while (!url.empty() && (url.back() == ' ' || url.back() == '\t')) url.remove_suffix(1);
    constexpr std::string_view kScheme = "http://";
    if (url.size() > kMaxUrlLength || !startsWithNoCase(url, kScheme)) return std::nullopt;
    url.remove_prefix(kScheme.size());

    std::size_t hostEnd = url.find_first_of(":/?#");
    std::string_view host = url.substr(0, hostEnd);
    if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-') {
        return std::nullopt;
    }
    for (char c : host)
        if (!isHostChar(c)) return std::nullopt;

    HttpAddress address;
    address.host = std::string(host);
    std::string_view rest = hostEnd == std::string_view::npos ? "" : url.substr(hostEnd);
    if (!rest.empty() && rest.front() == ':') {
        rest.remove_prefix(1);
        std::size_t digits = 0;
        unsigned long port = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
            port = port * 10 + unsigned(rest[digits] - '0');
            if (port > 65535) return std::nullopt;
            ++digits;
        }
        if (digits == 0 || port == 0) return std::nullopt;
        address.port = static_cast<std::uint16_t>(port);
        rest.remove_prefix(digits);
    }
    std::size_t fragment = rest.find('#');
    if (fragment != std::string_view::npos) rest = rest.substr(0, fragment);
    for (char c : rest)
        if (!isPathChar(c)) return std::nullopt;
    if (rest.empty()) return address;
    if (rest.front() == '?') {
        address.path = "/" + std::string(rest);
    } else if (rest.front() == '/') {
        address.path = std::string(rest);
    } else {
        return std::nullopt;
    }
    return address;
}

}  // namespace tarnix
