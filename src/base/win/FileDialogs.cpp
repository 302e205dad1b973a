#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "base/FileDialogs.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

// The dialogs want the filter's parts separated by NULs and the whole ended by two.
std::wstring filterText(std::wstring filter) {
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

std::optional<std::filesystem::path> chooseFile(const PathRequest& request) {
    std::wstring filter = filterText(request.filter);
    std::wstring folder;
    std::wstring name(32768, L'\0');
    std::error_code error;
    if (std::filesystem::is_directory(request.initial, error)) {
        folder = request.initial.wstring();
    } else {
        std::wstring initial = request.initial.wstring();
        initial.copy(name.data(), std::min(initial.size(), name.size() - 1));
    }

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(request.owner);
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    bool chosen;
    if (request.kind == PathDialog::SaveFile) {
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameW(&dialog) != FALSE;
    } else {
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameW(&dialog) != FALSE;
    }
    if (!chosen) return std::nullopt;
    return std::filesystem::path(name.c_str());
}

std::optional<std::filesystem::path> chooseFolder(const PathRequest& request) {
    BROWSEINFOW browse{};
    browse.hwndOwner = static_cast<HWND>(request.owner);
    browse.lpszTitle = request.title.c_str();
    // With files shown, a file is a valid choice too; an item outside the file system
    // (a printer, the control panel) gives no path below either way.
    browse.ulFlags = request.kind == PathDialog::FileOrFolder
                         ? BIF_BROWSEINCLUDEFILES | BIF_NEWDIALOGSTYLE
                         : BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    const ScopedCoTaskMemory<PIDLIST_ABSOLUTE> chosen(SHBrowseForFolderW(&browse));
    if (!chosen) return std::nullopt;
    wchar_t path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
    return std::filesystem::path(path);
}

}  // namespace

std::optional<std::filesystem::path> systemPathDialog(const PathRequest& request) {
    return request.kind == PathDialog::Folder || request.kind == PathDialog::FileOrFolder
               ? chooseFolder(request)
               : chooseFile(request);
}

}  // namespace tarnix
