#pragma once
// The machine's network interface table (GetIfTable on Windows), in the system's order.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

struct NetworkInterface {
    std::string description;
    std::uint32_t speed = 0;  // bits per second
    std::uint32_t type = 0;   // the system's interface type; 0 when not known
};

// Interface types as IP Helper numbers them (ipifcons.h).
inline constexpr std::uint32_t kInterfacePpp = 23;
inline constexpr std::uint32_t kInterfaceLoopback = 24;

class InterfaceTable {
  public:
    virtual ~InterfaceTable() = default;
    // False when the table cannot be read.
    virtual bool read(std::vector<NetworkInterface>& out) = 0;
};

InterfaceTable& systemInterfaceTable();

}  // namespace tarnix
