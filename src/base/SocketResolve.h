#pragma once
// Name resolution shared by the socket bindings (and the fault check's local address). Each includes it after its own system
// headers (BSD sockets or Winsock), which declare everything used here.

#include <cstdint>
#include <cstring>
#include <string>

namespace tarnix {
namespace {

// host:port as an IPv4 address; an empty host or "0.0.0.0" is every address.
inline bool resolve(const std::string& host, std::uint16_t port, sockaddr_in& out) {
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    if (host.empty() || host == "0.0.0.0") {
        out.sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    if (inet_pton(AF_INET, host.c_str(), &out.sin_addr) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    out.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

// This machine's first IPv4 address by its host name, as dotted text; empty when unknown.
inline std::string hostAddressByName() {
    char name[256] = {};
    sockaddr_in address{};
    if (gethostname(name, sizeof(name) - 1) != 0 || name[0] == '\0' || !resolve(name, 0, address))
        return {};
    char text[INET_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text)) ? text : "";
}

}  // namespace
}  // namespace tarnix
