#pragma once
// The machine's own IPv4 address as its host name resolves: what the cable-modem address
// dialog fills in when automatic detection is ticked.

#include <string>

namespace tarnix {

// Dotted text, or empty when the name does not resolve to an IPv4 address.
std::string localHostAddress();

}  // namespace tarnix
