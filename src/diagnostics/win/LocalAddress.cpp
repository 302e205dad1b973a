#include "diagnostics/LocalAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace tarnix {

std::string localHostAddress() {
    // Sockets are started for the call and cleaned up after, whoever else uses them.
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return {};
    std::string result;
    char name[256] = {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (gethostname(name, sizeof(name) - 1) == 0 &&
        getaddrinfo(name, nullptr, &hints, &found) == 0 && found) {
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof(text))) result = text;
        freeaddrinfo(found);
    }
    WSACleanup();
    return result;
}

}  // namespace tarnix
