#pragma once
// FaultCheck: the broadband fault check's verdict over a NetworkInventory. One run reads
// the PCI network devices and, for each in turn, judges it: disabled, cable unplugged
// (its adapter's address is 0.0.0.0), or sound, and then whether a PPPoE device is
// installed. Every device overwrites the verdict, so the last one decides. The rows of the
// four detail lists come with it.
//
// The object lives as long as the fault-check window: what no device of a run decides
// (the verdict and icons on a machine without PCI network devices, the PPPoE list when
// no device got as far as the PPPoE check) stays as the previous run left it.

#include <string>
#include <vector>

#include "diagnostics/NetworkInventory.h"

namespace tarnix {

// Which of its three icons a stage shows.
enum class StageIcon { Neutral, Good, Fault };

// A list row's cells in column order, GB2312; the first is the 1-based number.
using DetailRow = std::vector<std::string>;

struct DetailRows {
    std::vector<DetailRow> drivers;     // number, description: devices with a description
    std::vector<DetailRow> devices;     // number, state, cable, description
    std::vector<DetailRow> interfaces;  // number, IP address, MAC address, description
    std::vector<DetailRow> pppoe;       // "1", the PPPoE device's name (or empty); selected
};

class FaultCheck {
  public:
    explicit FaultCheck(NetworkInventory& inventory);

    // One check. Failures of the queries are told in message boxes over `owner`.
    void run(void* owner = nullptr);

    // The result area's text.
    const std::wstring& diagnosis() const { return diagnosis_; }
    StageIcon adapterIcon() const { return adapterIcon_; }
    StageIcon pppoeIcon() const { return pppoeIcon_; }
    const DetailRows& rows() const { return rows_; }

  private:
    void judge(const PciNetworkDevice& device, std::size_t index, void* owner);
    bool readAdapters();
    const NetworkAdapter* adapterOf(const PciNetworkDevice& device) const;
    void checkPppoe(void* owner);
    void setVerdict(std::wstring text, StageIcon adapter, StageIcon pppoe);

    NetworkInventory& inventory_;
    std::wstring diagnosis_;
    StageIcon adapterIcon_ = StageIcon::Neutral;
    StageIcon pppoeIcon_ = StageIcon::Neutral;
    DetailRows rows_;

    // Per run: the adapter table, read once when the first enabled device needs it.
    bool adaptersRead_ = false;
    bool adaptersReadable_ = false;
    std::vector<NetworkAdapter> adapters_;
    bool statusFailureTold_ = false;
};

// "00-1A-2B-3C-4D-5E": each byte as two upper-case hex digits, joined by "-".
std::string formatMac(const std::vector<std::uint8_t>& bytes);

}  // namespace tarnix
