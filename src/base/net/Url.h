#pragma once
// The http addresses of the update source: "http://server[:port]/path". Anything else
// (https, ftp, a file, user names, blanks or control characters, a bad port) is not
// fetched: the check ends silently and the updater says the address is not usable.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnix {

struct HttpAddress {
    std::string host;
    std::uint16_t port = 80;
    std::string path = "/";  // with its query, if any; never the fragment
};

std::optional<HttpAddress> parseHttpUrl(std::string_view url);

}  // namespace tarnix
