#pragma once
// The fault check's own texts, GB2312: the verdicts, the cells of the detail lists and the
// messages. Each verdict is two lines: the finding, then the hint to the details view.

#include <string_view>

namespace tarnix::faultcheck {

// "宽带故障检测": the window's title.
inline constexpr std::string_view kTitle = "\xbf\xed\xb4\xf8\xb9\xca\xd5\xcf\xbc\xec\xb2\xe2";

// "没有找到有效的PCI网卡设备!": the message box's text, also the verdict's finding.
#define TARNIX_NO_PCI_DEVICES \
    "\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xd3\xd0\xd0\xa7\xb5\xc4PCI\xcd\xf8\xbf\xa8\xc9\xe8\xb1\xb8!"

// "\n*** 提示：您可以勾上左下角的复选框查看详细诊断信息。 ***"
#define TARNIX_FAULT_HINT                                                                          \
    "\n*** "                                                                                       \
    "\xcc\xe1\xca\xbe\xa3\xba\xc4\xfa\xbf\xc9\xd2\xd4\xb9\xb4\xc9\xcf\xd7\xf3\xcf\xc2\xbd\xc7"     \
    "\xb5\xc4\xb8\xb4\xd1\xa1\xbf\xf2\xb2\xe9\xbf\xb4\xcf\xea\xcf\xb8\xd5\xef\xb6\xcf\xd0\xc5\xcf" \
    "\xa2\xa1\xa3 ***"

// "      网卡被禁用，请启用网卡" (six blanks)
inline constexpr std::string_view kVerdictDisabled =
    "      \xcd\xf8\xbf\xa8\xb1\xbb\xbd\xfb\xd3\xc3\xa3\xac\xc7\xeb\xc6\xf4\xd3\xc3\xcd\xf8\xbf"
    "\xa8" TARNIX_FAULT_HINT;
// "    请检查你的网线是否插上" (four blanks)
inline constexpr std::string_view kVerdictUnplugged =
    "    \xc7\xeb\xbc\xec\xb2\xe9\xc4\xe3\xb5\xc4\xcd\xf8\xcf\xdf\xca\xc7\xb7\xf1\xb2\xe5\xc9"
    "\xcf" TARNIX_FAULT_HINT;
// "    本机工作正常"
inline constexpr std::string_view kVerdictHealthy =
    "    \xb1\xbe\xbb\xfa\xb9\xa4\xd7\xf7\xd5\xfd\xb3\xa3" TARNIX_FAULT_HINT;
// "    没有找到有效的PCI网卡设备!": the message box's text as a verdict of its own.
inline constexpr std::string_view kVerdictNoPciDevices =
    "    " TARNIX_NO_PCI_DEVICES TARNIX_FAULT_HINT;
// "    PPPOE未检测到"
inline constexpr std::string_view kVerdictNoPppoe =
    "    PPPOE\xce\xb4\xbc\xec\xb2\xe2\xb5\xbd" TARNIX_FAULT_HINT;

#undef TARNIX_FAULT_HINT

// Device state: "已启用", "已禁用"; cable state: "已插上", "未插上", "未知".
inline constexpr std::string_view kEnabled = "\xd2\xd1\xc6\xf4\xd3\xc3";
inline constexpr std::string_view kDisabled = "\xd2\xd1\xbd\xfb\xd3\xc3";
inline constexpr std::string_view kPlugged = "\xd2\xd1\xb2\xe5\xc9\xcf";
inline constexpr std::string_view kUnplugged = "\xce\xb4\xb2\xe5\xc9\xcf";
inline constexpr std::string_view kUnknown = "\xce\xb4\xd6\xaa";

// The address a table entry has while no cable is plugged in.
inline constexpr std::string_view kNoAddress = "0.0.0.0";
// The remote-access device type of a PPPoE device, compared byte for byte: the client's
// own spelling, and the one Windows gives its PPPoE devices (RASDT_PPPoE), without which
// the check would find none on any Windows. Other spellings ("PPPOE") are not it.
inline constexpr std::string_view kPppoeType = "pppoe";
inline constexpr std::string_view kSystemPppoeType = "PPPoE";

// Messages, captioned "提示", with the error icon.
inline constexpr std::string_view kCaption = "\xcc\xe1\xca\xbe";
inline constexpr std::string_view kNoPciDevices = TARNIX_NO_PCI_DEVICES;
#undef TARNIX_NO_PCI_DEVICES
// "没有找到合适的网卡"
inline constexpr std::string_view kStatusUnknown =
    "\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xba\xcf\xca\xca\xb5\xc4\xcd\xf8\xbf\xa8";
// "内存分配错误"
inline constexpr std::string_view kNoMemory = "\xc4\xda\xb4\xe6\xb7\xd6\xc5\xe4\xb4\xed\xce\xf3";

}  // namespace tarnix::faultcheck
