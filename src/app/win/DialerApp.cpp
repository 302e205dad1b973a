#include "app/win/DialerApp.h"

#include <commctrl.h>

#include "app/win/MainWindow.h"
#include "base/Paths.h"
#include "base/Prompt.h"
#include "base/Socket.h"
#include "resource.h"
#include "store/CodePage.h"

namespace tarnix {
namespace {
DialerApp* g_current = nullptr;
}

DialerApp::DialerApp() : DialerApp(programFolder()) {}

DialerApp::DialerApp(const std::filesystem::path& folder)
    : folder_(folder), connectManage_(folder), config_(folder) {
    g_current = this;
}

DialerApp::~DialerApp() {
    if (g_current == this) g_current = nullptr;
}

DialerApp* DialerApp::current() {
    return g_current;
}

bool activateRunningInstance() {
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w && IsWindow(w);
         w = GetWindow(w, GW_HWNDNEXT)) {
        if (!GetPropW(w, kProductTitle)) continue;
        if (IsIconic(w)) {
            ShowWindow(w, SW_RESTORE);
            SetForegroundWindow(w);
        } else {
            SetForegroundWindow(GetLastActivePopup(w));
        }
        return true;
    }
    return false;
}

bool DialerApp::InitInstance() {
    // The about and message windows use rich-edit controls.
    LoadLibraryW(L"Msftedit.dll");
    INITCOMMONCONTROLSEX controls{
        sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);

    instanceMutex_ = CreateMutexW(nullptr, TRUE, kInstanceMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        activateRunningInstance();
        CloseHandle(instanceMutex_);
        instanceMutex_ = nullptr;
        return false;
    }

    if (!socketsStartup()) {
        wchar_t text[256] = L"";
        LoadStringW(GetModuleHandleW(nullptr), IDS_SOCKETS_FAILED, text, 256);
        prompt({nullptr, wideToGb(text), wideToGb(kProductTitle), PromptIcon::Error});
        return false;
    }

    MainWindow window({config_, &connectManage_, folder_});
    window.runModal(nullptr);
    return false;
}

int DialerApp::ExitInstance() {
    if (instanceMutex_) {
        CloseHandle(instanceMutex_);
        instanceMutex_ = nullptr;
    }
    return 0;
}

}  // namespace tarnix
