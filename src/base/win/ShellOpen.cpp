#include <windows.h>
#include <shellapi.h>

#include "base/ShellOpen.h"

namespace tarnix {

bool systemShellOpen(const std::string& address) {
    // shellOpen() lets only ASCII through, so a plain widening is exact.
    std::wstring wide(address.begin(), address.end());
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool systemShellOpenFile(const std::filesystem::path& file) {
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace tarnix
