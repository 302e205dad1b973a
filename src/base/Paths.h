#pragma once
#include <filesystem>

namespace tarnix {

// The folder of the running executable; every file of the client lies beside it.
std::filesystem::path programFolder();

}  // namespace tarnix
