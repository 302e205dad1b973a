#include "diagnostics/FaultCheck.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "base/Prompt.h"
#include "diagnostics/FaultCheckTexts.h"

namespace tarnix {
namespace {

using namespace faultcheck;

void tell(unsigned id, void* owner) {
    promptText(owner, id, PromptIcon::Error);
}

}  // namespace

std::string formatMac(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += '-';
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

FaultCheck::FaultCheck(NetworkInventory& inventory) : inventory_(inventory) {}

void FaultCheck::run(void* owner) {
    rows_.drivers.clear();
    rows_.devices.clear();
    rows_.interfaces.clear();
    adaptersRead_ = adaptersReadable_ = statusFailureTold_ = false;
    adapters_.clear();

    std::vector<PciNetworkDevice> devices;
    // A machine without a PCI network device is told so, as one whose devices cannot be
    // listed, and the result area says it too: a verdict left from the run before (or
    // none) would leave the user guessing.
    if (!inventory_.pciNetworkDevices(devices) || devices.empty()) {
        tell(IDS_FAULT_NO_PCI_DEVICES, owner);
        setVerdict(noPciVerdict(), StageIcon::Fault, StageIcon::Neutral);
        return;
    }
    for (std::size_t i = 0; i < devices.size(); ++i) judge(devices[i], i, owner);
}

void FaultCheck::judge(const PciNetworkDevice& device, std::size_t index, void* owner) {
    const std::string number = std::to_string(index + 1);
    DetailRow row{number, "", "", device.description.value_or("")};
    if (device.description) rows_.drivers.push_back({number, *device.description});

    if (device.state == DeviceState::QueryFailed && !statusFailureTold_) {
        // Once a run: a machine with many such devices would otherwise stack up boxes.
        statusFailureTold_ = true;
        tell(IDS_FAULT_STATUS_UNKNOWN, owner);
    }
    // A device whose status cannot be read counts as enabled.
    const bool enabled = device.state != DeviceState::Disabled;
    row[1] = gbText(enabled ? IDS_DEVICE_ENABLED : IDS_DEVICE_DISABLED);

    if (!enabled) {
        row[2] = gbText(IDS_CABLE_UNKNOWN);
        setVerdict(verdictText(IDS_FAULT_DISABLED), StageIcon::Fault, StageIcon::Neutral);
    } else if (readAdapters()) {
        // The cable is judged by the device's own entry: on a machine with more adapters
        // (Wi-Fi and Ethernet) the last entry of the table may belong to any of them.
        // Without an entry of its own, the last entry judges it, as it always did, so the
        // check still ends in a verdict; only an empty table gives none.
        const NetworkAdapter* adapter = adapterOf(device);
        if (!adapter && !adapters_.empty()) adapter = &adapters_.back();
        if (adapter) {
            if (adapter->ipAddress == kNoAddress) {
                row[2] = gbText(IDS_CABLE_UNPLUGGED);
                setVerdict(verdictText(IDS_FAULT_UNPLUGGED), StageIcon::Fault, StageIcon::Neutral);
            } else {
                row[2] = gbText(IDS_CABLE_PLUGGED);
                checkPppoe(owner);
            }
        }
    }
    rows_.devices.push_back(std::move(row));
}

bool FaultCheck::readAdapters() {
    if (adaptersRead_) return adaptersReadable_;
    adaptersRead_ = true;
    adaptersReadable_ = inventory_.adapters(adapters_);
    if (!adaptersReadable_) {
        adapters_.clear();
        return false;
    }
    for (std::size_t j = 0; j < adapters_.size(); ++j) {
        const NetworkAdapter& a = adapters_[j];
        rows_.interfaces.push_back(
            {std::to_string(j + 1), a.ipAddress, formatMac(a.mac), a.description});
    }
    return true;
}

// The entry named like the device's interface; for a device whose interface is unknown,
// the first entry with the device's description. Interface names are GUIDs or plain ASCII
// names; their letter case is not significant.
const NetworkAdapter* FaultCheck::adapterOf(const PciNetworkDevice& device) const {
    for (const NetworkAdapter& a : adapters_) {
        if (!device.interfaceId.empty()
                ? equalsNoCase(a.interfaceId, device.interfaceId)
                : device.description && a.description == *device.description) {
            return &a;
        }
    }
    return nullptr;
}

void FaultCheck::checkPppoe(void* owner) {
    rows_.pppoe.clear();
    std::vector<RasDevice> ras;
    if (!inventory_.rasDevices(ras)) {
        tell(IDS_FAULT_NO_MEMORY, owner);
        return;
    }
    // Devices before the PPPoE device say "not found"; the PPPoE device overrules them.
    // Without any device the verdict stays as it was.
    std::string name;
    for (const RasDevice& device : ras) {
        if (device.type == kPppoeType || device.type == kSystemPppoeType) {
            name = device.name;
            setVerdict(verdictText(IDS_FAULT_HEALTHY), StageIcon::Good, StageIcon::Good);
            break;
        }
        setVerdict(verdictText(IDS_FAULT_NO_PPPOE), StageIcon::Good, StageIcon::Fault);
    }
    rows_.pppoe.push_back({"1", name});
}

void FaultCheck::setVerdict(std::wstring text, StageIcon adapter, StageIcon pppoe) {
    diagnosis_ = std::move(text);
    adapterIcon_ = adapter;
    pppoeIcon_ = pppoe;
}

}  // namespace tarnix
