#pragma once
// What the shortcut panel asks of the shell: shortcut files resolved to their targets,
// the icons the shell shows for a path, and opening a chosen shortcut. Opening goes
// through a handler tests can replace, as message boxes do.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

namespace tarnix {

// The target of a shortcut file (.lnk); the path itself when it is no shortcut or does
// not resolve.
std::wstring resolveShortcut(const std::wstring& path);

// Adds the shell's small and large icons of `path` to the two lists (kept in step);
// the index of the new image, or -1 when the shell has no icon for the path.
int addShellIcon(const std::wstring& path, HIMAGELIST small, HIMAGELIST large);

// Runs a target the user chose (a program, a file, a folder, a web address) with the
// system's default action, or with `verb`. GB2312 texts. True when the shell took it.
struct ShellRun {
    std::string target;
    std::string parameters;
    std::string verb;  // empty: the default action
    int show = SW_SHOWNORMAL;
};
using ShellRunHandler = std::function<bool(const ShellRun&)>;
bool shellRun(const ShellRun& run);
// Replaces the handler (tests); an empty handler restores the shell.
void setShellRunHandler(ShellRunHandler handler);

}  // namespace tarnix
