#pragma once
// Starting and watching the client's executable from the Windows tests.
#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace tarnix::testing {

// The first top-level window of process `pid` that `match` accepts.
template <class Match>
HWND windowOf(DWORD pid, Match match) {
    struct Search {
        DWORD pid;
        Match* match;
        HWND found;
    } search{pid, &match, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != s->pid || !(*s->match)(w)) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::filesystem::path testProgramFolder() {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path();
}

// A built program: from the environment variable, else relative to the test program.
inline std::filesystem::path builtProgram(const wchar_t* variable,
                                          const std::filesystem::path& relative) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(variable, buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return std::filesystem::path(std::wstring(buffer, n));
    return testProgramFolder() / relative;
}

// A fresh folder under the temporary folder, removed when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& tag) {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) /
                (L"tarnix-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(GetTickCount64()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

class ChildProcess {
  public:
    ChildProcess() = default;
    // `output` (inheritable; null: none) becomes the program's standard output and error.
    ChildProcess(const std::filesystem::path& exe, const std::wstring& args = L"",
                 HANDLE output = nullptr) {
        std::wstring line = L"\"" + exe.wstring() + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (output) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = si.hStdError = output;
        }
        started_ = CreateProcessW(exe.wstring().c_str(), line.data(), nullptr, nullptr,
                                  output != nullptr, 0, nullptr,
                                  exe.parent_path().wstring().c_str(), &si, &pi_) != 0;
    }
    ~ChildProcess() {
        if (started_) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 1);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return pi_.dwProcessId; }
    bool waitExit(DWORD ms) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    void kill() const { TerminateProcess(pi_.hProcess, 1); }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// Polls `condition` every 20 ms until it holds or the time passes.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline int countProcesses(const wchar_t* exeName) {
    int count = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) ++count;
    }
    CloseHandle(snap);
    return count;
}

}  // namespace tarnix::testing
