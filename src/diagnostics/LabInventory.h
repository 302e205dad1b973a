#pragma once
// LabInventory: a network inventory described in LinkAgent.ini, for lab mode.
//
//   [LabInventory]
//   Devices=1              ; PCI network devices, [LabDevice1] to [LabDeviceN]
//   Adapters=1             ; adapter table entries, [LabAdapter1] ...
//   RasDevices=1           ; remote-access devices, [LabRasDevice1] ...
//   Fail=devices adapters ras   ; optional: these queries fail (ras: out of memory)
//   [LabDevice1]
//   Description=Realtek RTL8139    ; no key: the description cannot be read
//   State=enabled                  ; enabled, disabled or unknown (the status query fails)
//   Interface=eth0                 ; links the device to its adapter table entry
//   [LabAdapter1]
//   IP=192.168.1.10
//   MAC=00-1A-2B-3C-4D-5E          ; any number of hex bytes
//   Description=Realtek RTL8139
//   Interface=eth0
//   [LabRasDevice1]
//   Type=pppoe
//   Name=WAN Miniport (PPPOE)
//
// The file is read at every query, so a test or a demonstration may change it between
// checks. Each count is capped at kMaxEntries.

#include <filesystem>

#include "base/Profile.h"
#include "diagnostics/NetworkInventory.h"

namespace tarnix {

class LabInventory : public NetworkInventory {
  public:
    static constexpr int kMaxEntries = 1000;

    LabInventory(Profile& profile, std::filesystem::path file);

    // True when `file` describes an inventory (its [LabInventory] section names a count
    // or a failure).
    static bool describedIn(Profile& profile, const std::filesystem::path& file);

    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override;
    bool adapters(std::vector<NetworkAdapter>& out) override;
    bool rasDevices(std::vector<RasDevice>& out) override;

  private:
    std::string read(const std::string& section, const std::string& key,
                     const std::string& fallback = "");
    int count(const std::string& key);
    bool fails(const std::string& query);

    Profile& profile_;
    std::filesystem::path file_;
};

// "00-1A-2B" or "00:1a:2b" as bytes; empty for an empty text or one that is not such a
// list.
std::vector<std::uint8_t> parseMacText(const std::string& text);

}  // namespace tarnix
