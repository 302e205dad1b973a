#pragma once
// The fault check's verdicts and the values it compares. The texts themselves live in the
// string table (IDS_FAULT_..., IDS_DEVICE_..., IDS_CABLE_...).

#include <string>
#include <string_view>

#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix::faultcheck {

// What the result area shows for a finding: the finding (its indent included), then the
// hint to the details view on a line of its own.
inline std::wstring verdictText(unsigned finding) {
    return text(finding) + text(IDS_FAULT_HINT);
}
// The message box's text "没有找到有效的PCI网卡设备!" as a verdict of its own, four blanks in.
inline std::wstring noPciVerdict() {
    return L"    " + verdictText(IDS_FAULT_NO_PCI_DEVICES);
}

// The address a table entry has while no cable is plugged in.
inline constexpr std::string_view kNoAddress = "0.0.0.0";
// The remote-access device type of a PPPoE device, compared byte for byte: the client's
// own spelling, and the one Windows gives its PPPoE devices (RASDT_PPPoE), without which
// the check would find none on any Windows. Other spellings ("PPPOE") are not it.
inline constexpr std::string_view kPppoeType = "pppoe";
inline constexpr std::string_view kSystemPppoeType = "PPPoE";

}  // namespace tarnix::faultcheck
