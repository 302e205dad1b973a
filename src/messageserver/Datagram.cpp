#include "messageserver/Datagram.h"

#include <algorithm>

namespace tarnix {

StatusDatagram buildStatusDatagram(std::uint32_t type, std::string_view accountName) {
    StatusDatagram datagram{};
    for (std::size_t i = 0; i < 4; ++i) datagram[i] = static_cast<unsigned char>(type >> (8 * i));
    const std::size_t length = std::min(accountName.size(), kNameFieldSize);
    std::copy_n(accountName.begin(), length, datagram.begin() + kNameOffset);
    return datagram;
}

StatusDatagram buildKeepAliveDatagram() {
    return buildStatusDatagram(kKeepAliveType, "A");
}

std::uint32_t datagramType(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::string_view lineForReceived(const unsigned char* bytes, long received) {
    if (received <= 0) return kRecvErrorLine;
    // Fewer than four bytes carry no type at all.
    if (received < 4) return {};
    return datagramType(bytes) == kServerTrashType ? kServerTrashLine : std::string_view{};
}

}  // namespace tarnix
