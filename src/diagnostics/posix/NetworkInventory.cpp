// No PCI, IP Helper or remote-access queries here: an inventory with nothing in it.
#include "diagnostics/NetworkInventory.h"

namespace tarnix {
namespace {

class EmptyInventory : public NetworkInventory {
  public:
    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override {
        out.clear();
        return true;
    }
    bool adapters(std::vector<NetworkAdapter>& out) override {
        out.clear();
        return true;
    }
    bool rasDevices(std::vector<RasDevice>& out) override {
        out.clear();
        return true;
    }
};

}  // namespace

std::unique_ptr<NetworkInventory> makeSystemNetworkInventory() {
    return std::make_unique<EmptyInventory>();
}

}  // namespace tarnix
