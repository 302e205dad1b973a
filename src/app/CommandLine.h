#pragma once
// What Tarnix.exe is asked to do by its command line: start as usual (no arguments), or
// one switch for a script: /connect, /disconnect, /status or /? (in any letter case, as
// Windows programs take their switches). Anything else is refused, so that a mistyped
// switch never starts a client that would connect by itself.

#include <string>
#include <vector>

namespace tarnix {

enum class CommandLineVerb { Start, Connect, Disconnect, Status, Usage, Invalid };

struct CommandLine {
    CommandLineVerb verb = CommandLineVerb::Start;
    // For Invalid: the argument refused (cut to a readable length), or empty when there
    // was more than one switch.
    std::wstring refused;
};

// `arguments` without the program's own name.
CommandLine parseCommandLine(const std::vector<std::wstring>& arguments);

// The exit codes of the switches. A failed dial exits with its error number (600 and up,
// raserror.h), which lies above all of these.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNotConnected = 1;    // /status: no link is up
inline constexpr int kExitBadCommandLine = 2;  // an unknown switch, or more than one
inline constexpr int kExitNoClient = 3;        // no client answered, and none could start
inline constexpr int kExitNoAccount = 4;       // /connect: the client has no account to dial
inline constexpr int kExitTimedOut = 5;        // the link did not come up or go down in time

}  // namespace tarnix
