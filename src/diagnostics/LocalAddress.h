#pragma once
// The machine's own IPv4 address as its host name resolves: what the cable-modem address
// dialog fills in when automatic detection is ticked.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnix {

// Dotted text, or empty when the name does not resolve to an IPv4 address.
std::string localHostAddress();

// "a.b.c.d" with four numbers 0..255 as its bytes; none for any other text.
std::optional<std::array<std::uint8_t, 4>> parseDottedAddress(const std::string& text);

}  // namespace tarnix
