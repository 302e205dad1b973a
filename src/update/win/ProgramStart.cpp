#include <windows.h>

#include <shellapi.h>

#include "update/UpdaterStart.h"

namespace tarnix {

bool systemStartProgram(const std::filesystem::path& program) {
    std::wstring folder = program.parent_path().wstring();
    HINSTANCE result = ShellExecuteW(nullptr, L"open", program.c_str(), nullptr,
                                     folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace tarnix
