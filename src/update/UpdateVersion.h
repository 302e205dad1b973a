#pragma once
// Version numbers of the update check: decimal numbers such as "1.2", compared as numbers,
// so 1.10 is lower than 1.9 and 1.21 higher than 1.2 (the provider numbers its releases so).
//
// Only plain decimal text is a version: digits with at most one point ("1.2", "12", "0.5"),
// blanks around it allowed. "abc", "1.2.3", "-1", "1e9", "0x10" or a number too long to
// read are not versions, and a check that meets one ends without a prompt; the profile
// functions' atof would read them as 0, 1.2, -1 or 10^9 and could offer a "newer" version
// that is nothing of the kind.

#include <optional>
#include <string_view>

namespace tarnix {

std::optional<double> parseVersion(std::string_view text);

// True only when both are versions and `available` is the higher.
bool isNewerVersion(std::string_view available, std::string_view installed);

}  // namespace tarnix
