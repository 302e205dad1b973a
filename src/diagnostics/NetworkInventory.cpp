#include "diagnostics/NetworkInventory.h"

#include "base/Profile.h"
#include "diagnostics/LabInventory.h"

namespace tarnix {

std::unique_ptr<NetworkInventory> makeNetworkInventory(const std::filesystem::path& folder) {
    const auto ini = folder / "LinkAgent.ini";
    Profile& profile = systemProfile();
    if (profile.readString(ini, "LinkAgent", "Mode", "ras") == "lab" &&
        LabInventory::describedIn(profile, ini)) {
        return std::make_unique<LabInventory>(profile, ini);
    }
    return makeSystemNetworkInventory();
}

}  // namespace tarnix
