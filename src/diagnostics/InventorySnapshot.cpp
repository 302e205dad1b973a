#include "diagnostics/InventorySnapshot.h"

namespace tarnix {

InventorySnapshot InventorySnapshot::take(NetworkInventory& from) {
    InventorySnapshot s;
    s.devicesListed_ = from.pciNetworkDevices(s.devices_);
    s.adaptersRead_ = from.adapters(s.adapters_);
    s.rasListed_ = from.rasDevices(s.ras_);
    // What a failed query left half-filled is not an answer.
    if (!s.devicesListed_) s.devices_.clear();
    if (!s.adaptersRead_) s.adapters_.clear();
    if (!s.rasListed_) s.ras_.clear();
    return s;
}

bool InventorySnapshot::pciNetworkDevices(std::vector<PciNetworkDevice>& out) {
    out = devices_;
    return devicesListed_;
}

bool InventorySnapshot::adapters(std::vector<NetworkAdapter>& out) {
    out = adapters_;
    return adaptersRead_;
}

bool InventorySnapshot::rasDevices(std::vector<RasDevice>& out) {
    out = ras_;
    return rasListed_;
}

}  // namespace tarnix
