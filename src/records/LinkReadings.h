#pragma once
// What the live statistics read of the dial entry's link. The dial side answers it, so
// the record pages never reach the remote-access service themselves.

#include <cstdint>
#include <optional>
#include <string>

namespace tarnix {

struct LinkCounters {
    std::uintptr_t connection = 0;  // the connection counted: a new one starts the rates afresh
    std::uint32_t bytesSent = 0;
    std::uint32_t bytesReceived = 0;
    std::uint32_t connectDurationMs = 0;
};

class LinkReadings {
  public:
    virtual ~LinkReadings() = default;

    // The IPv4 address of the dial entry's connection, or empty.
    virtual std::string connectionAddress() = 0;
    // "100Mbps": the speed of the link, or empty when nothing says.
    virtual std::string linkSpeedText() = 0;
    // False when the connections cannot be listed. Otherwise `counters` holds those of the
    // dial entry's connection, or nothing when it has none or they cannot be read.
    virtual bool readCounters(std::optional<LinkCounters>& counters) = 0;
};

}  // namespace tarnix
