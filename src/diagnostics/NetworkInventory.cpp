#include "diagnostics/NetworkInventory.h"

#include "diagnostics/LabInventory.h"

namespace tarnix {

std::unique_ptr<NetworkInventory> makeNetworkInventory(const std::filesystem::path& folder,
                                                       Profile& profile, InventoryMaker system) {
    const auto ini = folder / "LinkAgent.ini";
    if (profile.readString(ini, "LinkAgent", "Mode", "ras") == "lab" &&
        LabInventory::describedIn(profile, ini)) {
        return std::make_unique<LabInventory>(profile, ini);
    }
    return system();
}

}  // namespace tarnix
