#pragma once

namespace tarnix {

// The one remote-access entry the client dials. A connection is the client's own only when
// its entry name equals this byte for byte; the same name is the element of config.xml
// that holds the saved accounts.
inline constexpr char kDialEntryName[] = "pppoe_brelvan_default_entry";

}  // namespace tarnix
