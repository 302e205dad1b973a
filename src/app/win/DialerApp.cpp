#include "app/win/DialerApp.h"

#include "app/win/MainWindow.h"
#include "base/Paths.h"
#include "base/Prompt.h"
#include "base/Socket.h"
#include "base/Texts.h"
#include "resource.h"
#include "widgets/win/CommonControls.h"

namespace tarnix {

DialerApp::DialerApp() : DialerApp(programFolder()) {}

DialerApp::DialerApp(const std::filesystem::path& folder)
    : folder_(folder), connectManage_(folder, systemDialing()) {}

DialerApp::~DialerApp() = default;

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
    initCommonControls();

    instanceMutex_.reset(CreateMutexW(nullptr, TRUE, kInstanceMutexName));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        activateRunningInstance();
        instanceMutex_.reset();
        return false;
    }
    config_.emplace(folder_);
    messages_.emplace(folder_);

    if (!socketsStartup()) {
        prompt({nullptr, text(IDS_SOCKETS_FAILED), kProductTitle, PromptIcon::Error});
        return false;
    }

    MainWindow window({*config_, &connectManage_, folder_, nullptr, nullptr, &*messages_});
    window.runModal(nullptr);
    return false;
}

int DialerApp::ExitInstance() {
    instanceMutex_.reset();
    return 0;
}

}  // namespace tarnix
