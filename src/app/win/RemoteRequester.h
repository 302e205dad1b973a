#pragma once
// A script's Tarnix.exe: it carries out one switch of the command line by asking the
// running client over WM_COPYDATA (starting the client first for /connect when none
// runs), prints what it has to say to the console it was started from, and returns the
// process's exit code. It never dials itself: the running client owns the line.

#include <filesystem>

#include "app/CommandLine.h"

namespace tarnix {

// `program`: this Tarnix.exe, started without a switch when /connect finds no client.
int runCommandLine(const CommandLine& line, const std::filesystem::path& program);

}  // namespace tarnix
