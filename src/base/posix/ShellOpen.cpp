#include "base/ShellOpen.h"

namespace tarnix {

// The native build has no desktop to open an address on.
bool systemShellOpen(const std::string&) {
    return false;
}

bool systemShellOpenFile(const std::filesystem::path&) {
    return false;
}

}  // namespace tarnix
