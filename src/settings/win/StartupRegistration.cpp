// The Run value in the registry. The value's data is the program path in quotes (a path
// with blanks unquoted could start C:\Program.exe instead), written with its terminating
// zero as the registry asks of string values.
#include "settings/StartupRegistration.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/win/Scoped.h"

namespace tarnix {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program file a Run command starts: the quoted part of a quoted command, else the whole
// text when it names a file, else the text up to the first blank (a command with options).
std::wstring programOf(const std::wstring& command) {
    if (!command.empty() && command.front() == L'"') {
        const auto close = command.find(L'"', 1);
        return command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    if (GetFileAttributesW(command.c_str()) != INVALID_FILE_ATTRIBUTES) return command;
    return command.substr(0, command.find(L' '));
}

std::wstring expanded(const std::wstring& text) {
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer.data(),
                                              static_cast<DWORD>(buffer.size()));
    return n == 0 || n > buffer.size() ? text : std::wstring(buffer.data());
}

// Paths on Windows are compared without regard to letter case.
bool samePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// An older installation wrote the machine's key; a 32-bit one in the 32-bit view. Without
// the right to change that key the value stays.
void removeMachineValues() {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        ScopedRegKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | view, key.put()) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key.get(), StartupRegistration::kValueName);
        }
    }
}

class WinStartupRegistration : public StartupRegistration {
  public:
    RunValue query(const std::filesystem::path& program) override {
        DWORD type = 0;
        const auto value = read(type);
        if (!value) return RunValue::Absent;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return RunValue::Other;
        const std::wstring command = type == REG_EXPAND_SZ ? expanded(*value) : *value;
        const std::wstring file = programOf(command);
        // A path with blanks may stand unquoted.
        if (samePath(file, program.wstring()) || samePath(command, program.wstring()))
            return RunValue::Ours;
        return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES ? RunValue::Stale
                                                                           : RunValue::Other;
    }

    std::filesystem::path data() override {
        DWORD type = 0;
        return read(type).value_or(std::wstring());
    }

    bool add(const std::filesystem::path& program) override {
        ScopedRegKey key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(),
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const std::wstring data = L"\"" + program.wstring() + L"\"";
        const LONG rc = RegSetValueExW(key.get(), kValueName, 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        if (rc != ERROR_SUCCESS) return false;
        removeMachineValues();
        return true;
    }

    void remove() override {
        ScopedRegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
            RegDeleteValueW(key.get(), kValueName);
        removeMachineValues();
    }

  private:
    // The current user's value as text; none when it is absent or cannot be read.
    std::optional<std::wstring> read(DWORD& type) {
        ScopedRegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.put()) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key.get(), kValueName, nullptr, &type, nullptr, &size);
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
        if (rc == ERROR_SUCCESS) {
            size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
            rc = RegQueryValueExW(key.get(), kValueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        }
        if (rc != ERROR_SUCCESS) return std::nullopt;
        return std::wstring(data.data());
    }
};

}  // namespace

StartupRegistration& systemStartupRegistration() {
    static WinStartupRegistration registration;
    return registration;
}

std::filesystem::path currentProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size() || buffer.size() >= 32768) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace tarnix
