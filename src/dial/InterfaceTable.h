#pragma once
// The machine's network interface table (GetIfTable on Windows), in the system's order.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

struct NetworkInterface {
    std::string description;
    std::uint32_t speed = 0;  // bits per second
};

class InterfaceTable {
  public:
    virtual ~InterfaceTable() = default;
    // False when the table cannot be read.
    virtual bool read(std::vector<NetworkInterface>& out) = 0;
};

InterfaceTable& systemInterfaceTable();

}  // namespace tarnix
