#pragma once
// NetworkInventory: the machine's network hardware as the fault check reads it. The
// system's binding asks SetupAPI, IP Helper and the remote-access service; in lab mode
// LinkAgent.ini may describe an inventory instead (LabInventory), so that every verdict
// can be shown on a machine that has no such hardware.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Profile.h"
#include "dial/RemoteAccess.h"  // RasDevice

namespace tarnix {

enum class DeviceState {
    Enabled,
    Disabled,     // disabled in the device manager
    QueryFailed,  // its status could not be read
};

// A present PCI network device.
struct PciNetworkDevice {
    std::optional<std::string> description;  // GB2312; none when it could not be read
    DeviceState state = DeviceState::Enabled;
    // The name its interface has in the adapter table (on Windows the adapter's GUID);
    // empty when unknown.
    std::string interfaceId;
};

// One entry of the IP adapter table.
struct NetworkAdapter {
    std::string ipAddress;  // the first IP address, as the table gives it
    std::vector<std::uint8_t> mac;
    std::string description;  // GB2312
    std::string interfaceId;
};

class NetworkInventory {
  public:
    virtual ~NetworkInventory() = default;
    // The present PCI network devices in enumeration order; false when the set cannot be
    // obtained.
    virtual bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) = 0;
    // The adapter table in its order; false when it cannot be read.
    virtual bool adapters(std::vector<NetworkAdapter>& out) = 0;
    // The remote-access devices; false only when no memory could be had for the list (a
    // service that cannot be asked lists none).
    virtual bool rasDevices(std::vector<RasDevice>& out) = 0;
};

// The platform's own inventory (none at all where the platform has no such queries).
std::unique_ptr<NetworkInventory> makeSystemNetworkInventory();

using InventoryMaker = std::unique_ptr<NetworkInventory> (*)();

// The inventory the fault check uses, by LinkAgent.ini in `folder` as `profile` reads it:
// in lab mode with a [LabInventory] section the one the file describes, otherwise the
// machine's, which `system` makes (the program passes makeSystemNetworkInventory).
std::unique_ptr<NetworkInventory> makeNetworkInventory(const std::filesystem::path& folder,
                                                       Profile& profile, InventoryMaker system);

}  // namespace tarnix
