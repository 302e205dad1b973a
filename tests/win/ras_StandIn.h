#pragma once
// The remote-access stand-in (tests/rasapi32) from the tests' side. The real binding calls
// rasapi32 through the program's imports, so the stand-in is only in use in a process
// started with it beside the program and WINEDLLOVERRIDES asking for it: RasStandInProcess
// starts such a copy of a program, and the suites meant to run inside it skip elsewhere.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "store/PasswordCipher.h"
#include "../support/WinProcess.h"
#include "../support/lab_Server.h"

namespace tarnix::testing {

inline std::filesystem::path standInDll() {
    return testProgramFolder() / "rasapi32" / "rasapi32.dll";
}

using StandInControl = DWORD(WINAPI*)(const char*);

// The stand-in's control when this process runs over it; null otherwise.
inline StandInControl standInControl() {
    HMODULE ras = GetModuleHandleW(L"rasapi32.dll");
    return ras ? reinterpret_cast<StandInControl>(GetProcAddress(ras, "TarnixStandIn")) : nullptr;
}

inline DWORD standIn(const char* command) {
    StandInControl control = standInControl();
    return control ? control(command) : ERROR_PROC_NOT_FOUND;
}

#define SKIP_WITHOUT_STAND_IN()                                                      \
    do {                                                                             \
        if (!::tarnix::testing::standInControl())                                    \
            GTEST_SKIP() << "runs in a process over the remote-access stand-in";     \
    } while (0)

// lab-ac's port as the stand-in was given it.
inline std::uint16_t standInLabPort() {
    char value[64];
    DWORD n = GetEnvironmentVariableA("TARNIX_STANDIN_AC", value, sizeof value);
    std::string text(value, n < sizeof value ? n : 0);
    std::size_t colon = text.rfind(':');
    return colon == std::string::npos ? 0
                                      : static_cast<std::uint16_t>(std::atoi(text.c_str() + colon + 1));
}

inline std::string askLab(const std::string& line) {
    return InProcessLabAc::askAt(standInLabPort(), line);
}

// Sets environment variables for the children started meanwhile, and puts them back.
class ScopedEnvironment {
  public:
    void set(const wchar_t* name, const std::wstring& value) {
        wchar_t old[4096];
        DWORD n = GetEnvironmentVariableW(name, old, 4096);
        saved_.push_back({name, n > 0 && n < 4096, std::wstring(old, n < 4096 ? n : 0)});
        SetEnvironmentVariableW(name, value.c_str());
    }
    // Asks Wine for the stand-in in programs named `exeName`: WINEDLLOVERRIDES reaches only
    // processes started from Unix, so the per-program setting in the prefix's registry says
    // it for those this test starts. A program of that name without the stand-in beside it
    // still gets Wine's own (native is looked for beside the program only).
    void overrideRasapi(const std::wstring& exeName) {
        wchar_t old[4096];
        DWORD n = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", old, 4096);
        std::wstring value = n > 0 && n < 4096 ? std::wstring(old, n) + L";" : L"";
        set(L"WINEDLLOVERRIDES", value + L"rasapi32=n,b");
        appKey_ = L"Software\\Wine\\AppDefaults\\" + exeName;
        const wchar_t order[] = L"native,builtin";
        RegSetKeyValueW(HKEY_CURRENT_USER, (appKey_ + L"\\DllOverrides").c_str(), L"rasapi32",
                        REG_SZ, order, sizeof order);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            SetEnvironmentVariableW(it->name.c_str(), it->had ? it->value.c_str() : nullptr);
        if (!appKey_.empty()) RegDeleteTreeW(HKEY_CURRENT_USER, appKey_.c_str());
    }

  private:
    struct Saved {
        std::wstring name;
        bool had;
        std::wstring value;
    };
    std::vector<Saved> saved_;
    std::wstring appKey_;
};

// Copies `program` into `folder` as `name`, and the stand-in beside it; false when either
// is missing.
inline bool placeWithStandIn(const std::filesystem::path& program,
                             const std::filesystem::path& folder, const std::wstring& name) {
    std::error_code ec;
    const auto target = folder / name;
    if (!CreateHardLinkW(target.c_str(), program.c_str(), nullptr))
        std::filesystem::copy_file(program, target, ec);
    std::filesystem::copy_file(standInDll(), folder / "rasapi32.dll", ec);
    return std::filesystem::exists(target) && std::filesystem::exists(folder / "rasapi32.dll");
}

// The per-user phonebook, which a new Windows account does not have yet.
inline std::wstring userPhonebook() {
    wchar_t appData[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData, n) + L"\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
}

// A config.xml in `folder` with the demo account saved and shown, connecting at start;
// `settings` are further elements of CONFIG.
inline void writeDemoConfig(const std::filesystem::path& folder, std::string_view settings = {}) {
    const std::string demo =
        "<User NAME=\"demo\" PASSWORD=\"" + PasswordCipher::EncryptPassword("demo") + "\"/>";
    std::ofstream(folder / "config.xml", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
           "<passwordstatus>1</passwordstatus>\r\n<Autoconnect>1</Autoconnect>\r\n"
        << settings << "<pppoe_brelvan_default_entry>\r\n" << demo
        << "\r\n</pppoe_brelvan_default_entry>\r\n<LastUser>\r\n" << demo
        << "\r\n</LastUser>\r\n</CONFIG>\r\n";
}

// Runs `exe args` with the console of this process, waits at most `ms`; the exit code, or
// -1 when it did not end in time (it is ended then).
inline int runAndWait(const std::filesystem::path& exe, const std::wstring& args, DWORD ms) {
    std::wstring line = L"\"" + exe.wstring() + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        exe.parent_path().c_str(), &si, &pi)) {
        return -2;
    }
    int code = -1;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        GetExitCodeProcess(pi.hProcess, &exit);
        code = static_cast<int>(exit);
    } else {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

}  // namespace tarnix::testing
