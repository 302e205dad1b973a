// Stands in for an installer in the updater's tests: it writes "installed" into the file
// that TARNIX_TEST_INSTALL_MARKER names, and ends with the exit code that
// TARNIX_TEST_INSTALL_EXIT names (0 when unset), as a cancelled or failed installer would.
#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t marker[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"TARNIX_TEST_INSTALL_MARKER", marker, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, "installed", 9, &written, nullptr);
    CloseHandle(file);
    wchar_t code[16] = L"";
    GetEnvironmentVariableW(L"TARNIX_TEST_INSTALL_EXIT", code, 16);
    return _wtoi(code);
}
