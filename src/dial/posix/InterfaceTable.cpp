#include "dial/InterfaceTable.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarnix {
namespace {

namespace fs = std::filesystem;

long readNumber(const fs::path& file, long fallback) {
    std::ifstream in(file);
    long value;
    return in >> value ? value : fallback;
}

// Linux lists its interfaces under /sys/class/net, with the speed in Mbit/s where the
// driver knows it; they are ordered by interface index as Windows orders its table.
class SysfsInterfaceTable : public InterfaceTable {
  public:
    bool read(std::vector<NetworkInterface>& out) override {
        out.clear();
        std::error_code ec;
        std::vector<std::pair<long, NetworkInterface>> found;
        for (const auto& entry : fs::directory_iterator("/sys/class/net", ec)) {
            const long index = readNumber(entry.path() / "ifindex", 0);
            const long mbps = std::clamp(readNumber(entry.path() / "speed", 0), 0L, 4294L);
            // ARPHRD_LOOPBACK (772) and ARPHRD_PPP (512) in the kernel's numbering.
            const long link = readNumber(entry.path() / "type", 0);
            const std::uint32_t type =
                link == 772 ? kInterfaceLoopback : link == 512 ? kInterfacePpp : 0;
            found.push_back({index, {entry.path().filename().string(),
                                     static_cast<std::uint32_t>(mbps) * 1000000u, type}});
        }
        if (ec) return false;
        std::sort(found.begin(), found.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& f : found) out.push_back(std::move(f.second));
        return true;
    }
};

}  // namespace

InterfaceTable& systemInterfaceTable() {
    static SysfsInterfaceTable table;
    return table;
}

}  // namespace tarnix
