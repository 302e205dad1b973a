#pragma once
// The IPv4 addresses lab-ac hands to sessions: an inclusive range "first-last" (or one
// address); the lowest free address goes to the next session.

#include <cstdint>
#include <set>
#include <string>

namespace tarnix::labac {

class AddressPool {
  public:
    AddressPool() = default;
    // False for a malformed range, a range whose last address is below its first, or one
    // of more than 65536 addresses.
    static bool parse(const std::string& text, AddressPool& pool);

    // An empty text when every address is taken.
    std::string take();
    void give(const std::string& address);
    std::size_t size() const { return static_cast<std::size_t>(last_ - first_ + 1); }

  private:
    std::uint32_t first_ = 0;
    std::uint32_t last_ = 0;
    std::set<std::uint32_t> taken_;
};

bool parseIPv4(const std::string& text, std::uint32_t& address);
std::string formatIPv4(std::uint32_t address);

}  // namespace tarnix::labac
