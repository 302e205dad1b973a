#include "dial/win/LoginPage.h"

#include <commctrl.h>

#include "dial/ConnectManage.h"
#include "resource.h"
#include "widgets/win/Bitmaps.h"
#include "store/CodePage.h"
#include "store/ConfigStore.h"

namespace tarnix {

LoginPage::LoginPage(ConfigStore& config, CConnectManage* connectManage,
                     std::filesystem::path dataFolder)
    : Dialog(IDD_LOGIN),
      config_(config),
      connectManage_(connectManage),
      dataFolder_(std::move(dataFolder)),
      form_(config) {}

LoginPage::~LoginPage() {
    // The monitors call this page: they end before it does.
    controller_.reset();
    if (background_) DeleteObject(background_);
}

BOOL LoginPage::onInitDialog() {
    background_ = loadBitmap(IDB_LOGIN_BACKGROUND);
    mainWindow_ = GetAncestor(hwnd(), GA_ROOT);

    DialController::Services services;
    services.connectManage = connectManage_;
    if (connectManage_) {
        services.remoteAccess = &connectManage_->remoteAccess();
    } else {
        noBackend_ = makeNullDialBackend();
        services.remoteAccess = &noBackend_->remoteAccess();
    }
    services.config = &config_;
    services.view = this;
    services.dataFolder = dataFolder_;
    controller_ = std::make_unique<DialController>(std::move(services));

    if (connectManage_) {
        connectManage_->InsertEntryName(&LoginPage::onEntry, nullptr, this);
        entryCount_ = 0;
        connectManage_->EnumEntry();
    }
    fillAccounts();

    connectButton_.attach(item(IDC_CONNECT), IDB_CONNECT_NORMAL, IDB_CONNECT_HOT, IDB_CONNECT_HOT,
                          IDB_CONNECT_DISABLED);
    disconnectButton_.attach(item(IDC_DISCONNECT), IDB_DISCONNECT_NORMAL, IDB_DISCONNECT_HOT,
                             IDB_DISCONNECT_HOT, IDB_DISCONNECT_DISABLED);
    return TRUE;
}

// Every entry is listed; one whose name says PPPoE is selected. Nothing dials by this
// list: the client always dials its own entry.
int LoginPage::onEntry(char* entryName, void* param) {
    auto* page = static_cast<LoginPage*>(param);
    HWND devices = page->item(IDC_DEVICES);
    LRESULT index = SendMessageW(devices, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(gbToWide(entryName).c_str()));
    if (index >= 0 && looksLikePppoeEntry(entryName)) SendMessageW(devices, CB_SETCURSEL, index, 0);
    ++page->entryCount_;
    return 0;
}

void LoginPage::fillAccounts() {
    std::vector<std::string> names;
    form_.load(fields_, names);
    HWND accounts = item(IDC_ACCOUNT);
    SendMessageW(accounts, CB_RESETCONTENT, 0, 0);
    for (const auto& name : names) {
        SendMessageW(accounts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gbToWide(name).c_str()));
    }
    push();
}

void LoginPage::exchange(DataExchange& dx) {
    dx.text(IDC_ACCOUNT, fields_.accountName);
    dx.text(IDC_PASSWORD, fields_.passwordText);
    dx.check(IDC_REMEMBER, fields_.remember);
}

bool LoginPage::onCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_CONNECT:
            if (code == BN_CLICKED) connectCommand();
            return true;
        case IDC_DISCONNECT:
        case IDCANCEL:  // the disconnect button is the page's cancel
            if (code == BN_CLICKED) disconnectCommand();
            return true;
        case IDC_ACCOUNT:
            if (code == CBN_SELCHANGE) accountChosen();
            return code == CBN_SELCHANGE;
        case IDC_REMEMBER:
            if (code == BN_CLICKED) fields_.remember = form_.toggleRemember();
            return true;
        default:
            return false;
    }
}

// The list's text is not yet in the edit when the selection changes: take it from the list.
void LoginPage::accountChosen() {
    HWND accounts = item(IDC_ACCOUNT);
    LRESULT index = SendMessageW(accounts, CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    LRESULT length = SendMessageW(accounts, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return;
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(accounts, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<std::size_t>(length));
    pull();
    fields_.accountName = wideToGb(name);
    fields_.passwordText = form_.passwordForChoice(fields_.accountName);
    push();
}

void LoginPage::connectCommand() {
    pull();
    if (!controller_->connectCommand(form_, fields_, hwnd())) return;
    // A new account joins the list at once.
    std::wstring name = gbToWide(fields_.accountName);
    HWND accounts = item(IDC_ACCOUNT);
    if (SendMessageW(accounts, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(name.c_str())) == CB_ERR) {
        SendMessageW(accounts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void LoginPage::disconnectCommand() {
    pull();
    controller_->disconnectCommand(fields_.accountName);
}

bool LoginPage::hasAccountAndPassword() {
    pull();
    return !fields_.accountName.empty() && !fields_.passwordText.empty();
}

int LoginPage::startMonitors() {
    return controller_ ? controller_->startMonitors() : -1;
}

void LoginPage::stopMonitors() {
    if (!controller_) return;
    // A monitor may be sending a message to this thread's windows: let it through.
    controller_->stopMonitors([] {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    });
}

void LoginPage::closeRecordNormal() {
    if (controller_) controller_->closeRecordNormal();
}

void LoginPage::setMessageChannel(OnlineNotices* channel) {
    if (controller_) controller_->setNotices(channel);
}

bool LoginPage::connectedState() const {
    return controller_ && controller_->connectedState();
}

bool LoginPage::preTranslate(MSG& msg) {
    // Escape would reach the page's cancel, which is the disconnect command.
    bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
    return key && msg.wParam == VK_ESCAPE;
}

bool LoginPage::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_ERASEBKGND:
            if (!paintBackground(reinterpret_cast<HDC>(wParam))) return false;
            result = 1;
            return true;
        case WM_PRINTCLIENT:
            // The image buttons ask for the page behind their transparent corners.
            return paintBackground(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORSTATIC: {
            // The labels and the check box show the background through.
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkMode(dc, TRANSPARENT);
            result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return background_ != nullptr;
        }
        default:
            return false;
    }
}

bool LoginPage::paintBackground(HDC dc) {
    if (!background_) return false;
    BITMAP info{};
    if (!GetObjectW(background_, sizeof info, &info)) return false;
    RECT client;
    GetClientRect(hwnd(), &client);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, background_);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return true;
}

// ---- what the monitors show in the main window ---------------------------------------

void LoginPage::linkUp() {
    if (mainWindow_ != hwnd()) SendMessageW(mainWindow_, WM_LINK_UP, 0, 0);
}

void LoginPage::linkDown() {
    if (mainWindow_ != hwnd()) SendMessageW(mainWindow_, WM_LINK_DOWN, 0, 0);
}

void LoginPage::showCommandState(bool connected) {
    if (HWND toolbar = FindWindowExW(mainWindow_, nullptr, TOOLBARCLASSNAMEW, nullptr)) {
        SendMessageW(toolbar, TB_ENABLEBUTTON, ID_TOOL_DISCONNECT, MAKELONG(connected, 0));
        SendMessageW(toolbar, TB_ENABLEBUTTON, ID_TOOL_CONNECT, MAKELONG(!connected, 0));
    }
    HMENU menu = GetMenu(mainWindow_);
    if (!menu) return;
    auto enable = [](HMENU popup, UINT position, bool on) {
        if (popup) EnableMenuItem(popup, position, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    };
    HMENU network = GetSubMenu(menu, 0);
    HMENU tools = GetSubMenu(menu, 1);
    enable(network, 0, !connected);  // 登陆
    enable(network, 2, connected);   // 注销
    enable(tools, 2, connected);     // 统计
    DrawMenuBar(mainWindow_);
}

void LoginPage::showStatus(std::string_view text) {
    SetDlgItemTextW(mainWindow_, IDC_STATUS_LINE, gbToWide(text).c_str());
}

}  // namespace tarnix
