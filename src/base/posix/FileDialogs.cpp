#include "base/FileDialogs.h"

namespace tarnix {

// Without a desktop nothing can be chosen: as if the user cancelled.
std::optional<std::filesystem::path> systemPathDialog(const PathRequest&) {
    return std::nullopt;
}

}  // namespace tarnix
