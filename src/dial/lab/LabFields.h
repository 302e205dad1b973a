#pragma once
// The lab protocol's fields: bytes that are not printable ASCII, a space or '%' travel as
// %XX, so a field never holds the separators. Apart from the rest of the protocol so that
// the remote-access stand-in of the tests speaks it with the same code.

#include <string>

namespace tarnix::lab {

std::string encodeField(const std::string& raw);
// False when a %XX escape is broken.
bool decodeField(const std::string& field, std::string& raw);

}  // namespace tarnix::lab
