#pragma once
// A file that reads but is not what its reader expects (damaged by hand, by another
// program or by a disk) is moved out of the way before a new one is started, so that
// neither is lost: "<name>.damaged", then "<name>.damaged-2", "-3", ...

#include <filesystem>

namespace tarnix {

// Renames `file` to the first free damaged name and returns that name; an empty path
// when it could not be moved (it is then left where it was).
std::filesystem::path keepDamagedAside(const std::filesystem::path& file);

}  // namespace tarnix
