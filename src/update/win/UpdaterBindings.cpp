#include "update/win/UpdaterBindings.h"

#include <shellapi.h>

#include <iterator>
#include <vector>

#include "ProductTitle.h"
#include "resource.h"

namespace tarnix {

bool HeldPackageFile::create() {
    held_.reset();
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    writing_.reset(CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(writing_);
}

bool HeldPackageFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!writing_ || !WriteFile(writing_.get(), bytes.data(), size, &written, nullptr) ||
            written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool HeldPackageFile::holdAndRead(const std::function<void(std::string_view)>& piece) {
    if (!writing_ || !FlushFileBuffers(writing_.get())) return false;
    writing_.reset();
    held_.reset(CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held_) return false;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(held_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr))
            return false;
        if (n == 0) return true;
        piece(std::string_view(buffer.data(), n));
    }
}

namespace {

// Starts `program` in `folder`; the process's handle, or none when it did not start.
ScopedHandle startProcess(const std::filesystem::path& program, const std::wstring& folder) {
    std::wstring command = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return {};
    }
    ScopedHandle thread(process.hThread);  // not needed: only the process is waited for
    return ScopedHandle(process.hProcess);
}

}  // namespace

bool HeldPackageFile::start() {
    if (!held_) return false;
    std::wstring folder = file_.parent_path().wstring();
    installer_ = startProcess(file_, folder);
    if (!installer_) {
        // An installer that asks for administrator rights starts through the shell, which
        // asks the user; the file stays held meanwhile.
        const DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
        if (GetLastError() != kElevationRequired) return false;
        SHELLEXECUTEINFOW shell{};
        shell.cbSize = sizeof shell;
        shell.fMask = SEE_MASK_NOASYNC | SEE_MASK_NOCLOSEPROCESS;
        shell.lpVerb = L"open";
        shell.lpFile = file_.c_str();
        shell.lpDirectory = folder.c_str();
        shell.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&shell)) return false;
        installer_.reset(shell.hProcess);
    }
    return true;
}

bool HeldPackageFile::installed() {
    // Without a process to wait for, what the installer did cannot be told: it counts as
    // done, so the updater does not start a client it may be replacing.
    if (!installer_) return true;
    DWORD code = 1;
    if (WaitForSingleObject(installer_.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(installer_.get(), &code)) {
        return true;
    }
    installer_.reset();
    return code == 0;
}

void HeldPackageFile::discard() {
    installer_.reset();
    writing_.reset();
    held_.reset();
    DeleteFileW(file_.c_str());
}

HWND ClientWindow::find() {
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w && IsWindow(w);
         w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetPropW(w, kProductTitle)) return w;
    }
    return nullptr;
}

ClientEnd ClientWindow::end() {
    HWND window = find();
    if (!window) return ClientEnd::NoneRunning;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    ScopedHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    // The client that runs is the one to start again, wherever it lies.
    wchar_t image[MAX_PATH * 4];
    DWORD length = DWORD(std::size(image));
    if (process && QueryFullProcessImageNameW(process.get(), 0, image, &length))
        program_ = std::wstring(image, length);
    // The client's own exit command: it closes its record and hangs up as on "退出".
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_MENU_EXIT, 0), 0);
    bool ended = false;
    if (process) {
        ended = WaitForSingleObject(process.get(), waitMs_) == WAIT_OBJECT_0;
    } else {
        // Without a handle on the process, wait for its window to go.
        for (DWORD waited = 0; waited < waitMs_ && IsWindow(window); waited += 100) Sleep(100);
        ended = !IsWindow(window);
    }
    return ended ? ClientEnd::Ended : ClientEnd::StillRunning;
}

bool ClientWindow::restart() {
    ScopedHandle process(startProcess(program_, program_.parent_path().wstring()));
    return static_cast<bool>(process);
}

}  // namespace tarnix
