#pragma once
// One fuzz case for the message datagrams: the input is taken as a datagram that arrived
// (the receiving loop's reading of it must stay within its bytes and name the right
// line), and as an account name for both status datagrams. Shared by the libFuzzer target
// and by the core test that replays the kept inputs.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "messageserver/Datagram.h"

namespace tarnix::fuzz {

// Returns what went wrong, or an empty string.
inline std::string runDatagramFuzzCase(const uint8_t* data, size_t size) {
    const long received = static_cast<long>(size);
    const std::string_view line = lineForReceived(data, received);
    const bool isTrash =
        size >= 4 && data[0] == 103 && data[1] == 0 && data[2] == 0 && data[3] == 0;
    if (size == 0 && line != kRecvErrorLine) return "an empty datagram is not a failed read";
    if (size > 0 && line != (isTrash ? kServerTrashLine : std::string_view{}))
        return "wrong line for a datagram of " + std::to_string(size) + " bytes";

    const std::string_view name(reinterpret_cast<const char*>(data), size);
    for (std::uint32_t type : {kOnlineType, kOfflineType}) {
        const StatusDatagram out = buildStatusDatagram(type, name);
        if (out[0] != type || out[1] || out[2] || out[3]) return "type bytes";
        const size_t kept = size < kNameFieldSize ? size : kNameFieldSize;
        if (std::memcmp(out.data() + kNameOffset, data, kept) != 0) return "name bytes";
        for (size_t i = kNameOffset + kept; i < out.size(); ++i)
            if (out[i] != 0) return "nonzero byte at " + std::to_string(i);
    }
    return {};
}

}  // namespace tarnix::fuzz
