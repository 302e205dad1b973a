#pragma once
// Opens a web or mail address with the user's default browser or mail program. Every such
// request goes through shellOpen(), so tests can see it instead of a browser starting.

#include <functional>
#include <string>

namespace tarnix {

using ShellOpenHandler = std::function<bool(const std::string& address)>;

// `address` is ASCII and starts with "http://", "https://" or "mailto:"; anything else
// (a file, a program, a control character) is refused so that no caller can start a
// program by accident. True when the address was handed to the shell.
bool shellOpen(const std::string& address);
// Replaces the handler (tests); an empty handler restores the system's binding.
void setShellOpenHandler(ShellOpenHandler handler);

// The platform's binding.
bool systemShellOpen(const std::string& address);

}  // namespace tarnix
