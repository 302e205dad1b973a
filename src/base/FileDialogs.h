#pragma once
// Every file and folder chooser of the program goes through askForPath(), so tests can
// answer it as they answer message boxes. Texts are GB2312.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tarnix {

// FileOrFolder: the folder browser showing files too; either may be chosen.
enum class PathDialog { SaveFile, OpenFile, Folder, FileOrFolder };

struct PathRequest {
    void* owner = nullptr;  // the owning window, if any
    PathDialog kind = PathDialog::SaveFile;
    std::wstring title;
    // Pairs of description and patterns separated by '|': "文本文件(*.txt)|*.txt".
    std::wstring filter;
    std::wstring defaultExtension;    // without the dot: "txt"
    std::filesystem::path initial;    // a file name or a folder to start in
};

// Empty when the user cancelled.
using PathHandler = std::function<std::optional<std::filesystem::path>(const PathRequest&)>;

std::optional<std::filesystem::path> askForPath(const PathRequest& request);
// Replaces the handler: the program's entry point installs systemPathDialog, tests their
// own answers. With none (an empty handler) nothing can be chosen: as if the user cancelled.
void setPathHandler(PathHandler handler);

// The Windows dialogs, which the program's entry point installs: the save dialog asks
// before overwriting and hides the read-only box; the open dialog takes only an existing
// file.
std::optional<std::filesystem::path> systemPathDialog(const PathRequest& request);

}  // namespace tarnix
