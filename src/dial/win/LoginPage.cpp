#include "dial/win/LoginPage.h"

#include <commctrl.h>

#include "base/CodePage.h"
#include "dial/ConnectManage.h"
#include "resource.h"
#include "store/ConfigStore.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

// What a lifted page keeps free above and below its controls.
constexpr int kLiftMargin = 8;

}  // namespace

LoginPage::LoginPage(ConfigStore& config, CConnectManage* connectManage,
                     std::filesystem::path recordFolder, LinkDisplay* display)
    : Dialog(IDD_LOGIN),
      config_(config),
      connectManage_(connectManage),
      recordFolder_(std::move(recordFolder)),
      form_(config),
      display_(display) {}

LoginPage::~LoginPage() {
    // The monitors call this page: they end before it does.
    controller_.reset();
}

BOOL LoginPage::onInitDialog() {
    background_ = loadBitmap(IDB_LOGIN_BACKGROUND, dpiOf(hwnd()));

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
    services.recordFolder = recordFolder_;
    services.clock = &systemClock();
    controller_ = std::make_unique<DialController>(std::move(services));

    fillAccounts();

    connectButton_.attach(item(IDC_CONNECT), IDB_CONNECT_NORMAL, IDB_CONNECT_HOT, IDB_CONNECT_HOT,
                          IDB_CONNECT_DISABLED);
    disconnectButton_.attach(item(IDC_DISCONNECT), IDB_DISCONNECT_NORMAL, IDB_DISCONNECT_HOT,
                             IDB_DISCONNECT_HOT, IDB_DISCONNECT_DISABLED);
    // Nothing to disconnect yet; a link found at start enables it.
    enableItem(IDC_DISCONNECT, false);
    return TRUE;
}

// The dial entries go into a hidden list. Nothing on screen needs it, and listing them
// loads the remote-access library, so the window's owner asks for it once the window shows.
void LoginPage::listDialEntries() {
    if (!hwnd() || item(IDC_DEVICES)) return;
    RECT place{10, 180, 10 + 98, 180 + 80};  // dialog units, under the buttons
    MapDialogRect(hwnd(), &place);
    HWND list = CreateWindowExW(0, WC_COMBOBOXW, L"",
                                WS_CHILD | WS_DISABLED | WS_VSCROLL | CBS_DROPDOWNLIST,
                                place.left, place.top, place.right - place.left,
                                place.bottom - place.top, hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DEVICES)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!list) return;
    SendMessageW(list, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), FALSE);
    if (!connectManage_) return;
    connectManage_->InsertEntryName(&LoginPage::onEntry, nullptr, this);
    connectManage_->EnumEntry();
}

// Every entry is listed; one whose name says PPPoE is selected. Nothing dials by this
// list: the client always dials its own entry.
int LoginPage::onEntry(char* entryName, void* param) {
    auto* page = static_cast<LoginPage*>(param);
    ComboBox devices(page->hwnd(), IDC_DEVICES);
    int index = devices.add(gbToWide(entryName));
    if (index >= 0 && looksLikePppoeEntry(entryName)) devices.select(index);
    return 0;
}

void LoginPage::fillAccounts() {
    std::vector<std::string> names;
    form_.load(fields_, names);
    ComboBox accounts(hwnd(), IDC_ACCOUNT);
    accounts.clear();
    for (const auto& name : names) accounts.add(gbToWide(name));
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
    ComboBox accounts(hwnd(), IDC_ACCOUNT);
    if (accounts.selected() < 0) return;
    std::wstring name = accounts.selectedText();
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
    ComboBox accounts(hwnd(), IDC_ACCOUNT);
    if (accounts.find(name) < 0) accounts.add(name);
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

void LoginPage::endSession() {
    if (controller_) controller_->endSession();
}

void LoginPage::setMessageChannel(OnlineNotices* channel) {
    if (controller_) controller_->setNotices(channel);
}

bool LoginPage::connectedState() const {
    return controller_ && controller_->connectedState();
}

// A button that has the focus hands it on before it is greyed (a disabled window keeps no
// focus, and a keyboard user would be left with none), to the other once that is enabled.
void LoginPage::enableButtons(bool connect, bool disconnect) {
    HWND connectButton = item(IDC_CONNECT), disconnectButton = item(IDC_DISCONNECT);
    HWND focus = GetFocus();
    HWND account = item(IDC_ACCOUNT);
    if (connect) EnableWindow(connectButton, TRUE);
    if (disconnect) EnableWindow(disconnectButton, TRUE);
    if (focus == connectButton && !connect) SetFocus(disconnect ? disconnectButton : account);
    if (focus == disconnectButton && !disconnect) SetFocus(connect ? connectButton : account);
    if (!connect) EnableWindow(connectButton, FALSE);
    if (!disconnect) EnableWindow(disconnectButton, FALSE);
}

bool LoginPage::preTranslate(MSG& msg) {
    // Escape would reach the page's cancel, which is the disconnect command.
    bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR;
    if (key && msg.wParam == VK_ESCAPE) return true;
    return key && msg.wParam == VK_RETURN && pressesButton(msg);
}

// Enter in the account or the password box presses 登录, on a button that button; a greyed
// one stays unpressed, and a held key presses once. An open account list takes Enter itself.
bool LoginPage::pressesButton(const MSG& msg) {
    HWND account = item(IDC_ACCOUNT);
    HWND button = nullptr;
    if (msg.hwnd == item(IDC_CONNECT) || msg.hwnd == item(IDC_DISCONNECT)) {
        button = msg.hwnd;
    } else if (msg.hwnd == item(IDC_PASSWORD) || msg.hwnd == account || IsChild(account, msg.hwnd)) {
        if (SendMessageW(account, CB_GETDROPPEDSTATE, 0, 0)) return false;
        button = item(IDC_CONNECT);
    }
    if (!button) return false;
    const bool firstPress = msg.message == WM_KEYDOWN && (msg.lParam & (1 << 30)) == 0;
    if (firstPress && IsWindowEnabled(button))
        SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    return true;
}

// At another scale: the controls and their font, then the pictures drawn for it.
void LoginPage::followDpi(Dpi from, Dpi to) {
    Dialog::followDpi(from, to);
    lift_.scale(from, to);
    RECT client{};
    GetClientRect(hwnd(), &client);
    lift_.fit(hwnd(), client.bottom, to.scale(kLiftMargin));
    background_ = loadBitmap(IDB_LOGIN_BACKGROUND, to);
    connectButton_.scaleTo(to);
    disconnectButton_.scaleTo(to);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void LoginPage::onSize(UINT, int, int height) {
    lift_.fit(hwnd(), height, dpiOf(hwnd()).scale(kLiftMargin));
}

// The image buttons ask for the page behind their transparent corners.
bool LoginPage::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return msg == WM_PRINTCLIENT && paintBackground(reinterpret_cast<HDC>(wParam));
}

// The labels and the check box show the background through.
HBRUSH LoginPage::onControlColour(HDC dc, HWND control, UINT msg) {
    if (msg != WM_CTLCOLORSTATIC || !background_ || highContrast()) return nullptr;
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// In high contrast the page is the system's dialog colour.
bool LoginPage::paintBackground(HDC dc) {
    if (highContrast()) return false;
    SIZE size = bitmapSize(background_.get());
    if (size.cx <= 0 || size.cy <= 0) return false;
    RECT client;
    GetClientRect(hwnd(), &client);
    MemoryDC memory(dc);
    SelectGuard selected(memory.get(), background_.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    return true;
}

// ---- what the controller reports, handed to the window's thread ----------------------
// A report posted while the window closes is dropped with it: nothing is left to show it.

void LoginPage::toDisplay(void (LinkDisplay::*report)()) {
    if (display_) post([display = display_, report] { (display->*report)(); });
}

void LoginPage::linkUp() {
    toDisplay(&LinkDisplay::linkUp);
}

void LoginPage::linkDown() {
    toDisplay(&LinkDisplay::linkDown);
}

void LoginPage::showCommandState(bool connected) {
    if (display_) post([display = display_, connected] { display->showCommandState(connected); });
}

void LoginPage::showDialling(int attempt, int attempts) {
    if (display_)
        post([display = display_, attempt, attempts] { display->showDialling(attempt, attempts); });
}

void LoginPage::showStatus(std::wstring_view text) {
    if (display_) post([display = display_, text = std::wstring(text)] { display->showStatus(text); });
}

void LoginPage::dialFailed(std::wstring_view text) {
    if (display_) post([display = display_, text = std::wstring(text)] { display->dialFailed(text); });
}

}  // namespace tarnix
