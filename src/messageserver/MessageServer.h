#pragma once
// Where the message channel sends: the provider's message server, configured in
// Provider.ini beside the program:
//
//   [MessageServer]
//   Address=10.0.0.1   ; dotted IPv4 or a host name; none means nothing is sent
//   Port=3360          ; optional

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/Profile.h"

namespace tarnix {

inline constexpr std::uint16_t kDefaultMessagePort = 3360;

struct MessageServer {
    std::string address;  // empty: no server configured
    std::uint16_t port = kDefaultMessagePort;
};

// The server named in folder's Provider.ini; a missing file or key gives no address, a
// missing or unusable port the default.
MessageServer readMessageServer(const std::filesystem::path& folder, Profile& profile);

}  // namespace tarnix
