#pragma once
// Opens a web or mail address with the user's default browser or mail program. Every such
// request goes through shellOpen(), so tests can see it instead of a browser starting.

#include <filesystem>
#include <functional>
#include <string>

namespace tarnix {

using ShellOpenHandler = std::function<bool(const std::string& address)>;

// `address` is ASCII and starts with "http://", "https://" or "mailto:"; anything else
// (a file, a program, a control character) is refused so that no caller can start a
// program by accident. True when the address was handed to the shell.
bool shellOpen(const std::string& address);
// Replaces the handler: the program's entry point installs systemShellOpen, tests their
// own. With none (an empty handler) nothing opens.
void setShellOpenHandler(ShellOpenHandler handler);

// The Windows shell's binding, which the program's entry point installs.
bool systemShellOpen(const std::string& address);

// Opens a file the user has just chosen (an export) with the program the system binds to
// its kind. Kept apart from shellOpen() so that addresses from elsewhere never reach a
// file or a program.
using ShellOpenFileHandler = std::function<bool(const std::filesystem::path& file)>;
bool shellOpenChosenFile(const std::filesystem::path& file);
// Replaces the handler, as setShellOpenHandler does.
void setShellOpenFileHandler(ShellOpenFileHandler handler);
bool systemShellOpenFile(const std::filesystem::path& file);

}  // namespace tarnix
