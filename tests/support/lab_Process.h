#pragma once
// Runs lab-ac as a child process, so a test can kill it the hard way. The program is
// found through TARNIX_LAB_AC, else at tools/lab-ac/ beside the tests folder of the build.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace tarnix::testing {

inline std::filesystem::path labAcProgram() {
    if (const char* fromEnv = std::getenv("TARNIX_LAB_AC"); fromEnv && *fromEnv) return fromEnv;
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::filesystem::path exe(self);
    return exe.parent_path().parent_path() / "tools" / "lab-ac" / "lab-ac.exe";
#else
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    return exe.parent_path().parent_path() / "tools" / "lab-ac" / "lab-ac";
#endif
}

class LabAcProcess {
  public:
    // Starts lab-ac with `args` and reads the port from its "listening on" line;
    // port() stays 0 when that fails.
    explicit LabAcProcess(const std::vector<std::string>& args) { start(args); }
    ~LabAcProcess() { kill(); }
    LabAcProcess(const LabAcProcess&) = delete;
    LabAcProcess& operator=(const LabAcProcess&) = delete;

    std::uint16_t port() const { return port_; }
    std::string endpoint() const { return "127.0.0.1:" + std::to_string(port_); }
    // What lab-ac printed up to and including its "listening on" line.
    const std::string& startOutput() const { return startOutput_; }

#ifndef _WIN32
    // Stops the process without ending it, as a hung lab-ac would be.
    void suspend() {
        if (pid_ > 0) ::kill(pid_, SIGSTOP);
    }
#endif

    // Ends the process at once, as a crash or a kill from the task manager would.
    void kill() {
#ifdef _WIN32
        if (process_) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
            process_ = nullptr;
        }
#else
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
#endif
        if (drain_.joinable()) drain_.join();
    }

  private:
    // Reads the output up to the "listening on" line (warnings may come first), then
    // keeps reading so the child's log lines never fill the pipe.
    template <typename ReadChunk>
    void readStartThenDrain(ReadChunk readChunk) {
        std::string text;
        char chunk[256];
        long got;
        auto listening = [&] {
            std::size_t at = text.rfind("listening on ");
            return at != std::string::npos && text.find('\n', at) != std::string::npos;
        };
        while (!listening() && (got = readChunk(chunk, sizeof chunk)) > 0)
            text.append(chunk, static_cast<std::size_t>(got));
        std::size_t at = text.rfind("listening on ");
        startOutput_ = text.substr(0, at == std::string::npos ? text.size() : text.find('\n', at));
        if (at != std::string::npos) {
            std::size_t colon = text.find(':', at);
            if (colon != std::string::npos)
                port_ = static_cast<std::uint16_t>(std::atoi(text.c_str() + colon + 1));
        }
        drain_ = std::thread([readChunk] {
            char rest[4096];
            while (readChunk(rest, sizeof rest) > 0) {
            }
        });
    }

#ifdef _WIN32
    void start(const std::vector<std::string>& args) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        std::wstring command = L"\"" + labAcProgram().wstring() + L"\"";
        for (const auto& arg : args)
            command += L" \"" + std::filesystem::path(arg).wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        PROCESS_INFORMATION info{};
        BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
        CloseHandle(writeEnd);
        if (!started) {
            CloseHandle(readEnd);
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        pipe_ = std::shared_ptr<void>(readEnd, [](HANDLE h) { CloseHandle(h); });
        auto pipe = pipe_;
        readStartThenDrain([pipe](char* buffer, std::size_t size) -> long {
            DWORD got = 0;
            if (!ReadFile(pipe.get(), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
            return static_cast<long>(got);
        });
    }
    HANDLE process_ = nullptr;
    std::shared_ptr<void> pipe_;
#else
    void start(const std::vector<std::string>& args) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        std::string program = labAcProgram().string();
        std::vector<char*> argv{program.data()};
        std::vector<std::string> copies(args);
        for (auto& arg : copies) argv.push_back(arg.data());
        argv.push_back(nullptr);
        int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (failed) {
            pid_ = -1;
            close(fds[0]);
            return;
        }
        int fd = fds[0];
        pipe_ = std::shared_ptr<void>(reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)),
                                      [fd](void*) { close(fd); });
        auto pipe = pipe_;
        readStartThenDrain([pipe, fd](char* buffer, std::size_t size) -> long {
            return static_cast<long>(read(fd, buffer, size));
        });
    }
    pid_t pid_ = -1;
    std::shared_ptr<void> pipe_;
#endif

    std::uint16_t port_ = 0;
    std::string startOutput_;
    std::thread drain_;
};

}  // namespace tarnix::testing
