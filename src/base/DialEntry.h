#pragma once

#include <string>
#include <string_view>

#include "base/AsciiText.h"

namespace tarnix {

// The one remote-access entry the client dials. A connection is the client's own only when
// its entry name equals this byte for byte; the same name is the element of config.xml
// that holds the saved accounts.
inline constexpr char kDialEntryName[] = "pppoe_brelvan_default_entry";

// True when a dial entry's name contains "PPPOE" in any letter case (GB2312 characters
// never contain ASCII bytes, so only ASCII letters are folded).
inline bool looksLikePppoeEntry(std::string_view name) {
    return lowerAscii(name).find("pppoe") != std::string::npos;
}

}  // namespace tarnix
