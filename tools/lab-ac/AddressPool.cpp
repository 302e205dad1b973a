#include "AddressPool.h"

#include <sstream>

namespace tarnix::labac {

bool parseIPv4(const std::string& text, std::uint32_t& address) {
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t start = i;
        std::uint32_t part = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3)
            part = part * 10 + static_cast<std::uint32_t>(text[i++] - '0');
        if (i == start || part > 255) return false;
        value = value << 8 | part;
        if (++parts < 4) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
    }
    if (i != text.size()) return false;
    address = value;
    return true;
}

std::string formatIPv4(std::uint32_t address) {
    std::ostringstream out;
    out << (address >> 24) << '.' << (address >> 16 & 255) << '.' << (address >> 8 & 255) << '.'
        << (address & 255);
    return out.str();
}

bool AddressPool::parse(const std::string& text, AddressPool& pool) {
    std::size_t dash = text.find('-');
    std::uint32_t first = 0, last = 0;
    if (!parseIPv4(text.substr(0, dash), first)) return false;
    if (dash == std::string::npos)
        last = first;
    else if (!parseIPv4(text.substr(dash + 1), last))
        return false;
    if (last < first || last - first >= 65536) return false;
    pool = AddressPool();
    pool.first_ = first;
    pool.last_ = last;
    return true;
}

std::string AddressPool::take() {
    for (std::uint64_t a = first_; a <= last_; ++a) {
        auto address = static_cast<std::uint32_t>(a);
        if (taken_.insert(address).second) return formatIPv4(address);
    }
    return "";
}

void AddressPool::give(const std::string& address) {
    std::uint32_t value = 0;
    if (parseIPv4(address, value)) taken_.erase(value);
}

}  // namespace tarnix::labac
