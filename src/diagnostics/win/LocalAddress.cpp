#include "diagnostics/LocalAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "base/SocketResolve.h"

namespace tarnix {

std::string localHostAddress() {
    // Sockets are started for the call and cleaned up after, whoever else uses them.
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return {};
    std::string result = hostAddressByName();
    WSACleanup();
    return result;
}

}  // namespace tarnix
