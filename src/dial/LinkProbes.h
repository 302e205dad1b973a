#pragma once
// What the tray tooltip, the link-up balloon and the live statistics say about the link:
// the address of the dial entry's connection, the speed of its link and its counters.

#include <cstddef>
#include <string>

#include "dial/InterfaceTable.h"
#include "dial/RemoteAccess.h"
#include "records/LinkReadings.h"

namespace tarnix {

class LinkProbes : public LinkReadings {
  public:
    // The tray record's tooltip field holds 128 bytes with the terminating zero.
    static constexpr std::size_t kTipField = 128;

    LinkProbes(RemoteAccess& access, InterfaceTable& interfaces);

    // The IPv4 address of the dial entry's connection, or empty.
    std::string connectionAddress() override;
    // "100Mbps": the speed of the dial entry's connected link; without its counters, that of
    // the PPP interface or else the first that is not loopback. Empty when nothing says.
    std::string linkSpeedText() override;
    // The counters of the first connection of the dial entry the service lists.
    bool readCounters(std::optional<LinkCounters>& counters) override;
    // The tooltip, GB2312, at most kTipField - 1 bytes and never cut inside a character:
    // address and speed while `connected`, otherwise the note that this client made no link.
    std::string trayTipText(bool connected);

  private:
    RemoteAccess& access_;
    InterfaceTable& interfaces_;
};

}  // namespace tarnix
