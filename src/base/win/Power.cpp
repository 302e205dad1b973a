#include <windows.h>

#include "base/Power.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

class WinPower : public Power {
  public:
    bool exitWindows(unsigned flags) override { return ExitWindowsEx(flags, 0) != FALSE; }
};

}  // namespace

Power& systemPower() {
    static WinPower power;
    return power;
}

bool enableShutdownPrivilege() {
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = false;
    if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        // The call succeeds even when the account does not hold the privilege.
        enabled = GetLastError() != ERROR_NOT_ALL_ASSIGNED;
    }
    return enabled;
}

}  // namespace tarnix
