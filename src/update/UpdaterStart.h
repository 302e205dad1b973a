#pragma once
// Starts Updata.exe from the program's folder. Every start goes through startUpdater(),
// so tests can see it instead of a program starting.

#include <filesystem>
#include <functional>

namespace tarnix {

enum class UpdaterStart { Started, Missing, Failed };

// Looks for Updata.exe in `programFolder` and starts it, with no arguments.
UpdaterStart startUpdater(const std::filesystem::path& programFolder);

using ProgramStartHandler = std::function<bool(const std::filesystem::path& program)>;
// Replaces the handler: the program's entry point installs systemStartProgram, tests their
// own. With none (an empty handler) nothing starts: the start fails.
void setUpdaterStartHandler(ProgramStartHandler handler);

// The Windows binding, which the program's entry point installs: starts the program, shown
// normally, in its own folder.
bool systemStartProgram(const std::filesystem::path& program);

}  // namespace tarnix
