#pragma once
// Opening the programs and web pages listed in data\opensoft.xml once the link is up.

#include <filesystem>

#include <windows.h>

namespace tarnix {

// The main window's message that asks for the list to be opened.
inline constexpr UINT kOpenSoftMessage = 0x2B14;

// Opens every entry of the list in the program's folder, in file order, through
// shellRun() with the verb "open"; a missing or unreadable list opens nothing. How many
// entries the shell took.
int openSoftListEntries(const std::filesystem::path& programFolder);

}  // namespace tarnix
