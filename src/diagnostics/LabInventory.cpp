#include "diagnostics/LabInventory.h"

#include <algorithm>
#include <sstream>

namespace tarnix {
namespace {

constexpr char kSection[] = "LabInventory";
// Stands for a missing key: a profile reader gives the fallback for one.
constexpr char kMissing[] = "\x01missing";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

DeviceState stateOf(const std::string& text) {
    if (text == "disabled") return DeviceState::Disabled;
    if (text == "unknown") return DeviceState::QueryFailed;
    return DeviceState::Enabled;
}

}  // namespace

std::vector<std::uint8_t> parseMacText(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    int value = 0, digits = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size() || text[i] == '-' || text[i] == ':';
        if (end) {
            if (digits == 0) return text.empty() ? bytes : std::vector<std::uint8_t>{};
            bytes.push_back(static_cast<std::uint8_t>(value));
            value = digits = 0;
            continue;
        }
        const int d = hexDigit(text[i]);
        if (d < 0 || digits == 2) return {};
        value = value * 16 + d;
        ++digits;
    }
    return bytes;
}

LabInventory::LabInventory(Profile& profile, std::filesystem::path file)
    : profile_(profile), file_(std::move(file)) {}

bool LabInventory::describedIn(Profile& profile, const std::filesystem::path& file) {
    for (const char* key : {"Devices", "Adapters", "RasDevices", "Fail"}) {
        if (profile.readString(file, kSection, key, kMissing) != kMissing) return true;
    }
    return false;
}

// A value may be followed by a comment, "; ..." after a blank, as in the README's example.
std::string LabInventory::read(const std::string& section, const std::string& key,
                               const std::string& fallback) {
    std::string value = profile_.readString(file_, section, key, fallback);
    for (std::size_t at = value.find(';'); at != std::string::npos; at = value.find(';', at + 1)) {
        if (at == 0 || value[at - 1] == ' ' || value[at - 1] == '\t') {
            value.resize(at);
            value.erase(value.find_last_not_of(" \t") + 1);  // all blanks: npos + 1 is 0
            break;
        }
    }
    return value;
}

int LabInventory::count(const std::string& key) {
    const int n = profile_.readInt(file_, kSection, key, 0);
    return std::clamp(n, 0, kMaxEntries);
}

bool LabInventory::fails(const std::string& query) {
    std::istringstream words(read(kSection, "Fail"));
    std::string word;
    while (words >> word) {
        if (word == query) return true;
    }
    return false;
}

bool LabInventory::pciNetworkDevices(std::vector<PciNetworkDevice>& out) {
    out.clear();
    if (fails("devices")) return false;
    const int n = count("Devices");
    for (int i = 1; i <= n; ++i) {
        const std::string section = "LabDevice" + std::to_string(i);
        PciNetworkDevice device;
        if (std::string text = read(section, "Description", kMissing); text != kMissing) {
            device.description = text;
        }
        device.state = stateOf(read(section, "State", "enabled"));
        device.interfaceId = read(section, "Interface");
        out.push_back(std::move(device));
    }
    return true;
}

bool LabInventory::adapters(std::vector<NetworkAdapter>& out) {
    out.clear();
    if (fails("adapters")) return false;
    const int n = count("Adapters");
    for (int i = 1; i <= n; ++i) {
        const std::string section = "LabAdapter" + std::to_string(i);
        out.push_back({read(section, "IP"), parseMacText(read(section, "MAC")),
                       read(section, "Description"), read(section, "Interface")});
    }
    return true;
}

bool LabInventory::rasDevices(std::vector<RasDevice>& out) {
    out.clear();
    if (fails("ras")) return false;
    const int n = count("RasDevices");
    for (int i = 1; i <= n; ++i) {
        const std::string section = "LabRasDevice" + std::to_string(i);
        out.push_back({read(section, "Type"), read(section, "Name")});
    }
    return true;
}

}  // namespace tarnix
