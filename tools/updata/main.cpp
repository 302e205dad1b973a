// Updata.exe: fetches the version list named in UpdateConfig.ini beside it and, when a
// newer version is listed, downloads, checks and starts its installer.
#include <windows.h>

#include <filesystem>

#include "UpdaterWindow.h"
#include "updata_ids.h"
#include "base/Paths.h"
#include "base/Prompt.h"
#include "update/win/UpdaterBindings.h"
#include "widgets/win/CommonControls.h"
#include "base/win/Scoped.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tarnix;
    setPromptHandler(systemPrompt);
    // One updater at a time: two would download over each other's package.
    ScopedHandle once(CreateMutexW(nullptr, TRUE, L"TarnixUpdata"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // The one already running comes to the front instead.
        wchar_t caption[64] = L"";
        LoadStringW(GetModuleHandleW(nullptr), IDS_UPDATER_TITLE, caption, 64);
        if (HWND running = FindWindowW(L"#32770", caption)) SetForegroundWindow(running);
        return 1;
    }
    initCommonControls();

    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) temp = programFolder();
    HeldPackageFile package(temp / L"TarnixUpdate" / L"TarnixSetup.exe");
    ClientWindow client(programFolder() / L"Tarnix.exe");
    UpdaterWindow window({programFolder(), temp}, package, client);
    window.runModal(nullptr);
    return window.result() == UpdaterResult::Started ? 0 : 1;
}
