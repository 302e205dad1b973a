#include "base/ThreadName.h"

#include <windows.h>

#include <string>

namespace tarnix {

void nameThisThread(const char* name) {
    // SetThreadDescription came with Windows 10 1607: looked up, so older systems start.
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    static const auto setDescription = reinterpret_cast<SetDescription>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
    if (!setDescription) return;
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    setDescription(GetCurrentThread(), wide.c_str());
}

}  // namespace tarnix
