#include "app/win/RemoteRequester.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ProductTitle.h"
#include "TextIds.h"
#include "app/RemoteCommand.h"
#include "app/win/DialerApp.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "base/win/Scoped.h"
#include "dial/DialFailure.h"

namespace tarnix {
namespace {

constexpr wchar_t kReplyClass[] = L"TarnixCommandLineReply";
constexpr auto kPoll = std::chrono::milliseconds(250);
constexpr auto kSettle = std::chrono::seconds(90);       // for the link to come up or go down
constexpr auto kClientStart = std::chrono::seconds(20);  // for a started client's window

// The console the program was started from, or the handle its starter gave it (a file or a
// pipe of a script); nothing when it has neither.
HANDLE consoleHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) return handle;
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (!attached) return nullptr;
    handle = GetStdHandle(which);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

void print(DWORD which, const std::wstring& line) {
    HANDLE out = consoleHandle(which);
    if (!out) return;
    const std::wstring text = line + L"\r\n";
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    // A file or a pipe takes the system's code page, as the console's programs write.
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                            nullptr, nullptr);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void say(const std::wstring& line) { print(STD_OUTPUT_HANDLE, line); }
void complain(const std::wstring& line) { print(STD_ERROR_HANDLE, line); }

// A message-only window that receives the client's replies.
class ReplyWindow {
  public:
    ReplyWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ReplyWindow::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kReplyClass;
        RegisterClassW(&wc);
        window_.reset(CreateWindowExW(0, kReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    // Asks each window that carries the client's property until one answers: a window
    // left with the property by a client that died does not take WM_COPYDATA.
    std::optional<RemoteReply> ask(RemoteVerb verb) {
        if (!window_) return std::nullopt;
        std::vector<HWND> candidates;
        EnumWindows(
            [](HWND w, LPARAM list) -> BOOL {
                if (GetPropW(w, kProductTitle))
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&candidates));
        RemoteRequest request{static_cast<std::uint32_t>(verb)};
        COPYDATASTRUCT copy{kRemoteRequestTag, sizeof request, &request};
        for (HWND w : candidates) {
            reply_.reset();
            DWORD_PTR answered = 0;
            // Not SMTO_BLOCK: the reply arrives while this send waits.
            if (SendMessageTimeoutW(w, WM_COPYDATA, reinterpret_cast<WPARAM>(window_.get()),
                                    reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 5000,
                                    &answered) &&
                answered == TRUE && reply_)
                return reply_;
        }
        return std::nullopt;
    }

  private:
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        if (msg != WM_COPYDATA || !self) return DefWindowProcW(w, msg, wParam, lParam);
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!copy) return FALSE;
        self->reply_ = readRemoteReply(copy->dwData, copy->lpData, copy->cbData);
        return self->reply_ ? TRUE : FALSE;
    }

    ScopedWindow window_;
    std::optional<RemoteReply> reply_;
};

// The client outlives this program, so it must not hold the script's output: a pipe would
// never end. A child is given the standard handles its parent has at the time, so it is
// started while this program has none.
bool startClient(const std::filesystem::path& program) {
    std::wstring line = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const DWORD kinds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE kept[3];
    for (int i = 0; i < 3; ++i) {
        kept[i] = GetStdHandle(kinds[i]);
        SetStdHandle(kinds[i], nullptr);
    }
    const bool started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, program.parent_path().c_str(), &si, &pi) != 0;
    for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], kept[i]);
    // The client runs on its own: its handles are not needed here.
    ScopedHandle thread(pi.hThread), process(pi.hProcess);  // null when not started
    return started;
}

int settledOrTimedOut(ReplyWindow& client, RemoteVerb verb, RemoteReply reply,
                      std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (auto code = settledExitCode(verb, reply)) return *code;
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kPoll);
        auto next = client.ask(RemoteVerb::Status);
        if (!next) {
            complain(text(IDS_CMDLINE_NO_CLIENT));
            return kExitNoClient;
        }
        reply = *next;
    }
    complain(text(IDS_CMDLINE_TIMED_OUT));
    return kExitTimedOut;
}

}  // namespace

int runCommandLine(const CommandLine& line, const std::filesystem::path& program) {
    switch (line.verb) {
        case CommandLineVerb::Start:
            return kExitOk;
        case CommandLineVerb::Usage:
            say(text(IDS_CMDLINE_USAGE));
            return kExitOk;
        case CommandLineVerb::Invalid:
            complain(line.refused.empty() ? text(IDS_CMDLINE_ONE_SWITCH)
                                          : text(IDS_CMDLINE_UNKNOWN) + line.refused);
            complain(text(IDS_CMDLINE_USAGE));
            return kExitBadCommandLine;
        default:
            break;
    }
    const auto deadline = std::chrono::steady_clock::now() + kSettle;
    ReplyWindow client;
    switch (line.verb) {
        case CommandLineVerb::Status: {
            // No client: nothing of the client's is up.
            const auto reply = client.ask(RemoteVerb::Status);
            RemoteReply down{};
            say(gbToWide(remoteStatusLine(reply ? *reply : down)));
            return *settledExitCode(RemoteVerb::Status, reply ? *reply : down);
        }
        case CommandLineVerb::Disconnect: {
            const auto reply = client.ask(RemoteVerb::Disconnect);
            if (!reply) return kExitOk;
            return settledOrTimedOut(client, RemoteVerb::Disconnect, *reply, deadline);
        }
        case CommandLineVerb::Connect: {
            auto reply = client.ask(RemoteVerb::Connect);
            if (!reply) {
                // Started as a normal start would; its window then takes the request.
                if (!startClient(program)) {
                    complain(text(IDS_CMDLINE_NO_CLIENT));
                    return kExitNoClient;
                }
                const auto started = std::chrono::steady_clock::now();
                while (!(reply = client.ask(RemoteVerb::Connect)) &&
                       std::chrono::steady_clock::now() - started < kClientStart)
                    std::this_thread::sleep_for(kPoll);
                if (!reply) {
                    complain(text(IDS_CMDLINE_NO_CLIENT));
                    return kExitNoClient;
                }
            }
            const int code = settledOrTimedOut(client, RemoteVerb::Connect, *reply, deadline);
            if (code == kExitNoAccount) complain(text(IDS_CMDLINE_NO_ACCOUNT));
            if (code > kExitTimedOut) complain(dialFailureText(code));
            return code;
        }
        default:
            return kExitBadCommandLine;
    }
}

}  // namespace tarnix
