#include "app/win/MainWindow.h"

#include "app/win/DialerApp.h"
#include "resource.h"

namespace tarnix {

MainWindow::MainWindow(DialerApp& app) : Dialog(IDD_MAIN), app_(app) {
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
}

BOOL MainWindow::onInitDialog() {
    if (icon_) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    // Always on top, and a tool window so that it has no taskbar button.
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    LONG_PTR ex = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);

    placeAtRightEdge();

    // A second start finds this window by its property.
    SetPropW(hwnd(), kProductTitle, reinterpret_cast<HANDLE>(1));
    config_ = &app_.config();
    connectManage_ = &app_.connectManage();
    openMessageChannel();
    openLoginPage();
    return TRUE;
}

// The login page fills the tab control, right of the column of tabs.
void MainWindow::openLoginPage() {
    HWND tabs = item(IDC_TABS);
    loginPage_ = std::make_unique<LoginPage>(*config_, connectManage_, app_.folder() / "data");
    if (!loginPage_->create(tabs ? tabs : hwnd())) return;
    RECT area;
    GetClientRect(tabs ? tabs : hwnd(), &area);
    constexpr int kTabColumn = 42;
    SetWindowPos(loginPage_->hwnd(), HWND_TOP, kTabColumn, 2, area.right - kTabColumn - 2,
                 area.bottom - 4, SWP_SHOWWINDOW);
    loginPage_->startMonitors();
    loginPage_->setMessageChannel(&messageChannel_);
    if (config_->GetAutoConnect() && loginPage_->hasAccountAndPassword())
        loginPage_->connectCommand();
}

// The channel opens with the window and lives as long as it, so the dial and hang-up
// workers always find it ready; the keep-alive runs throughout, so the provider's server
// hears from every running client (with no server in Provider.ini nothing is sent).
void MainWindow::openMessageChannel() {
    try {
        messageChannel_.open();
        messageChannel_.startKeepAlive();
    } catch (const MessageChannel::Exception&) {
        // The notices are a courtesy to the provider: without them the client still dials.
    }
}

void MainWindow::placeAtRightEdge() {
    RECT r;
    GetWindowRect(hwnd(), &r);
    int width = r.right - r.left;
    int right = GetSystemMetrics(SM_CXSCREEN) - 20;
    SetWindowPos(hwnd(), nullptr, right - width, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::onCommand(int id, int code, HWND control) {
    switch (id) {
        case ID_MENU_EXIT:
        case ID_TRAY_EXIT:
            end(0);
            return true;
        case ID_MENU_CONNECT:
        case ID_TOOL_CONNECT:
        case ID_TRAY_CONNECT:
            if (loginPage_) loginPage_->connectCommand();
            return true;
        case ID_MENU_DISCONNECT:
        case ID_TOOL_DISCONNECT:
        case ID_TRAY_DISCONNECT:
            if (loginPage_) loginPage_->disconnectCommand();
            return true;
        case IDOK:
        case IDCANCEL:
            return true;  // Enter and Escape never close the window
        default:
            return false;
    }
}

bool MainWindow::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_CLOSE:
            // The close box only minimises; the program ends through its exit commands.
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        default:
            return false;
    }
}

bool MainWindow::preTranslate(MSG& msg) {
    // Enter and Escape do nothing anywhere in the window.
    if (loginPage_ && loginPage_->filterMessage(msg)) return true;
    return (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) &&
           (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN);
}

void MainWindow::onDestroy() {
    // The monitors first, so that nothing redials; then the session ends as a normal
    // disconnection and the link the program leaves behind is hung up.
    if (loginPage_) {
        loginPage_->stopMonitors();
        loginPage_->closeRecordNormal();
    }
    if (connectManage_) connectManage_->Close();
    RemovePropW(hwnd(), kProductTitle);
    messageChannel_.close();
}

}  // namespace tarnix
