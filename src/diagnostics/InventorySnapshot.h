#pragma once
// InventorySnapshot: one reading of a NetworkInventory, kept to be judged later. The
// system's queries may take a while, so the fault-check window reads the machine on a
// worker thread and judges the snapshot on its own thread, where the check's messages
// may be shown. Replays its answers as often as it is asked.

#include "diagnostics/NetworkInventory.h"

namespace tarnix {

class InventorySnapshot : public NetworkInventory {
  public:
    InventorySnapshot() = default;
    // Asks `from` each of its three queries once.
    static InventorySnapshot take(NetworkInventory& from);

    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override;
    bool adapters(std::vector<NetworkAdapter>& out) override;
    bool rasDevices(std::vector<RasDevice>& out) override;

  private:
    // Nothing read yet: no devices, an empty table, no remote-access devices.
    bool devicesListed_ = true, adaptersRead_ = true, rasListed_ = true;
    std::vector<PciNetworkDevice> devices_;
    std::vector<NetworkAdapter> adapters_;
    std::vector<RasDevice> ras_;
};

}  // namespace tarnix
