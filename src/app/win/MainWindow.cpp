#include "app/win/MainWindow.h"

#include "app/win/AboutDialog.h"
#include "app/win/DialerApp.h"
#include "base/Clock.h"
#include "base/Power.h"
#include "base/Prompt.h"
#include "dial/ConnectManage.h"
#include "dial/LinkProbes.h"
#include "resource.h"
#include "store/CodePage.h"
#include "store/ConfigStore.h"

namespace tarnix {
namespace {

constexpr int kTabCount = 4;
// Timers: the cursor watch of a docked window, the slide in and out, the scheduled
// shutdown's check once a second.
constexpr UINT_PTR kHoverTimer = 1, kSlideTimer = 2, kScheduleTimer = 4;
constexpr UINT kHoverPeriod = 200, kSlidePeriod = 5, kSchedulePeriod = 1000;
constexpr UINT kTrayIconId = IDI_TRAY_OFFLINE;
// Posted at initialisation: the shell takes its time over a new icon, and the window need
// not wait for it to show.
constexpr UINT kShowTrayIcon = WM_APP + 1;

// Menu positions whose states the tray menu copies.
constexpr int kNetworkMenu = 0, kToolsMenu = 1;
constexpr UINT kConnectItem = 0, kDisconnectItem = 2, kStatisticsItem = 2;
constexpr UINT kTrayConnectItem = 2, kTrayDisconnectItem = 3, kTrayStatusItem = 4;

HICON loadIcon(int id) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

void copyMenuState(HMENU from, UINT fromPosition, HMENU to, UINT toPosition) {
    UINT state = GetMenuState(from, fromPosition, MF_BYPOSITION);
    bool disabled = state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
    EnableMenuItem(to, toPosition, MF_BYPOSITION | (disabled ? MF_GRAYED : MF_ENABLED));
}

DockScreen screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

DockRect toDock(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

MainWindow::MainWindow(Services services)
    : Dialog(IDD_MAIN), services_(std::move(services)), shortcutsPage_(IDD_PAGE_SHORTCUTS) {
    icon_ = loadIcon(IDI_MAIN);
    offlineIcon_ = loadIcon(IDI_TRAY_OFFLINE);
}

MainWindow::~MainWindow() {
    for (HBRUSH brush : {backgroundBrush_, menuBrush_})
        if (brush) DeleteObject(brush);
}

BOOL MainWindow::onInitDialog() {
    measureScreenEdges();
    if (icon_) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    caption_.attach(hwnd(), icon_, kProductTitle);

    openPages();
    placeAtRightEdge();
    toolbar_.create(hwnd());
    layoutUnderToolbar();
    makeBackground();
    paintMenus();

    // A second start finds this window by its property.
    SetPropW(hwnd(), kProductTitle, reinterpret_cast<HANDLE>(1));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_.prepare(hwnd(), kTrayIconId, WM_TRAY_NOTIFY, offlineIcon_, L"澄远拨号");
    PostMessageW(hwnd(), kShowTrayIcon, 0, 0);
    if (services_.connectManage)
        probes_ = std::make_unique<LinkProbes>(services_.connectManage->remoteAccess(),
                                               systemInterfaceTable());
    openMessageChannel();
    startLoginPage();
    SetTimer(hwnd(), kScheduleTimer, kSchedulePeriod, nullptr);
    // So that the scheduled shutdown may shut down or restart the computer.
    enableShutdownPrivilege();
    return TRUE;
}

// A window docked at the bottom stops above the taskbar.
void MainWindow::measureScreenEdges() {
    int taskbar = dock_.taskbarHeight();
    if (HWND shell = FindWindowW(L"Shell_TrayWnd", nullptr)) {
        RECT r;
        if (GetWindowRect(shell, &r)) taskbar = r.bottom - r.top;
    }
    dock_.setMetrics(taskbar, GetSystemMetrics(SM_CYEDGE), GetSystemMetrics(SM_CXFRAME));
}

// The four pages, each filling the tab control right of the column of tabs.
void MainWindow::openPages() {
    tabs_.attach(hwnd(), item(IDC_TABS), kTabCount);
    loginPage_ = std::make_unique<LoginPage>(services_.config, services_.connectManage,
                                             services_.folder / "data");
    for (Dialog* page : {static_cast<Dialog*>(loginPage_.get()), &shortcutsPage_,
                         static_cast<Dialog*>(&servicesPage_), static_cast<Dialog*>(&contactPage_)})
        tabs_.addPage(*page);
    tabs_.select(0);
}

// The toolbar sits at the top of the client area; the tab control starts below it, so
// that the layout holds whatever height the buttons and the font give it.
void MainWindow::layoutUnderToolbar() {
    HWND tabs = tabs_.hwnd();
    int top = toolbar_.height() + 2;
    if (!tabs) return;
    RECT r;
    GetWindowRect(tabs, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    if (r.top >= top) return;
    SetWindowPos(tabs, nullptr, r.left, top, r.right - r.left, r.bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    tabs_.fitPages();
}

// The product's light blue behind every menu; and the disconnected command state.
void MainWindow::paintMenus() {
    HMENU menu = GetMenu(hwnd());
    if (!menu) return;
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    menuBrush_ = CreateSolidBrush(RGB(183, 207, 255));
    info.hbrBack = menuBrush_;
    SetMenuInfo(menu, &info);
    DrawMenuBar(hwnd());
    EnableMenuItem(GetSubMenu(menu, kToolsMenu), kStatisticsItem, MF_BYPOSITION | MF_GRAYED);
    EnableMenuItem(GetSubMenu(menu, kNetworkMenu), kDisconnectItem, MF_BYPOSITION | MF_GRAYED);
}

void MainWindow::placeAtRightEdge() {
    RECT r;
    GetWindowRect(hwnd(), &r);
    int width = r.right - r.left;
    int right = GetSystemMetrics(SM_CXSCREEN) - 20;
    SetWindowPos(hwnd(), nullptr, right - width, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

void MainWindow::startLoginPage() {
    loginPage_->startMonitors();
    if (services_.connectManage) {
        HWND self = hwnd();
        CConnectManage* manage = services_.connectManage;
        networkWatcher_.start([manage] { return manage->CheckNetType(); },
                              [self] { PostMessageW(self, WM_NETWORK_READY, 0, 0); });
    }
    loginPage_->setMessageChannel(&messageChannel_);
    if (services_.config.GetAutoConnect() && loginPage_->hasAccountAndPassword())
        loginPage_->connectCommand();
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
            loginPage_->connectCommand();
            return true;
        case ID_MENU_DISCONNECT:
        case ID_TOOL_DISCONNECT:
        case ID_TRAY_DISCONNECT:
            loginPage_->disconnectCommand();
            return true;
        case ID_MENU_ABOUT:
        case ID_TRAY_ABOUT:
            AboutDialog().runModal(hwnd());
            return true;
        case ID_TRAY_SHOW:
            ShowWindow(hwnd(), SW_RESTORE);
            SetForegroundWindow(hwnd());
            return true;
        case ID_HELP:
            showHelp();
            return true;
        case IDOK:
        case IDCANCEL:
            return true;  // Enter and Escape never close the window
        default:
            return false;
    }
}

bool MainWindow::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (caption_.handle(msg, wParam, lParam, result)) return true;
    if (msg == taskbarCreated_ && taskbarCreated_) {
        tray_.show();  // Explorer restarted: without the icon a hidden client is lost
        return true;
    }
    switch (msg) {
        case WM_CLOSE:
            // The close box only minimises; the program ends through its exit commands.
            PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return true;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                // Only the tray icon leads back to a minimised window.
                ShowWindow(hwnd(), SW_HIDE);
                KillTimer(hwnd(), kHoverTimer);
                KillTimer(hwnd(), kSlideTimer);
                dock_.minimised();
            }
            return false;
        case WM_MOVING:
            result = onMoving(*reinterpret_cast<RECT*>(lParam));
            return true;
        case WM_NCHITTEST:
            onHitTest(lParam);
            return false;  // the hit test itself is the system's
        case WM_TIMER:
            return onTimer(wParam);
        case kShowTrayIcon:
            if (!tray_.added()) tray_.show();  // a balloon may have shown it already
            return true;
        case WM_TRAY_NOTIFY:
            onTrayEvent(static_cast<UINT>(lParam));
            return true;
        case WM_LINK_UP:
            onLinkUp();
            return true;
        case WM_LINK_DOWN:
            onLinkDown();
            return true;
        case WM_NO_ACTION:
        case WM_NETWORK_READY:  // the update check starts here once it exists
            return true;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
                tabs_.showSelected();
                return true;
            }
            if (header->code == TTN_GETDISPINFOW) {
                auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                std::wstring text = commandTip(static_cast<UINT>(header->idFrom));
                lstrcpynW(tip->szText, text.c_str(), ARRAYSIZE(tip->szText));
                tip->lpszText = tip->szText;
                return true;
            }
            return false;
        }
        case WM_ERASEBKGND:
            result = paintBackground(reinterpret_cast<HDC>(wParam));
            return result != 0;
        case WM_CTLCOLORSTATIC:
            result = reinterpret_cast<LRESULT>(
                labelBrush(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
            return result != 0;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
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

void MainWindow::onTrayEvent(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDBLCLK:
            restoreFromTray();
            break;
        case WM_RBUTTONDOWN:
            showTrayMenu();
            break;
        case WM_MOUSEMOVE:
            tray_.setTip(probes_ ? gbToWide(probes_->trayTipText(connected_)) : tray_.tip());
            break;
        default:
            break;
    }
}

// Dragged near a screen edge, the window snaps to it.
bool MainWindow::onMoving(RECT& proposed) {
    POINT cursor;
    GetCursorPos(&cursor);
    DockRect rect = toDock(proposed);
    RECT now;
    GetWindowRect(hwnd(), &now);
    if (dock_.moving({cursor.x, cursor.y}, rect, screenSize(), now.bottom - now.top))
        KillTimer(hwnd(), kHoverTimer);
    proposed = {rect.left, rect.top, rect.right, rect.bottom};
    return true;
}

// The mouse over a docked window (or over the strip a hidden one leaves) slides it out.
void MainWindow::onHitTest(LPARAM point) {
    DockPoint at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (!dock_.hitTest(at, screenSize())) return;
    SetTimer(hwnd(), kHoverTimer, kHoverPeriod, nullptr);
    SetTimer(hwnd(), kSlideTimer, kSlidePeriod, nullptr);
}

bool MainWindow::onTimer(UINT_PTR id) {
    switch (id) {
        case kHoverTimer: {
            POINT cursor;
            RECT window;
            GetCursorPos(&cursor);
            GetWindowRect(hwnd(), &window);
            if (dock_.hoverTimer(PtInRect(&window, cursor) != FALSE)) {
                KillTimer(hwnd(), kHoverTimer);
                SetTimer(hwnd(), kSlideTimer, kSlidePeriod, nullptr);
            }
            return true;
        }
        case kSlideTimer: {
            RECT window;
            GetWindowRect(hwnd(), &window);
            DockTick tick = dock_.animationTick(toDock(window), screenSize());
            if (tick.action == DockTick::Stop) KillTimer(hwnd(), kSlideTimer);
            if (tick.action == DockTick::Move)
                SetWindowPos(hwnd(), HWND_TOPMOST, tick.rect.left, tick.rect.top,
                             tick.rect.width(), tick.rect.height(),
                             SWP_SHOWWINDOW | SWP_NOACTIVATE);
            return true;
        }
        case kScheduleTimer:
            schedule_.tick(services_.config, services_.clock ? *services_.clock : systemClock(),
                           services_.power ? *services_.power : systemPower());
            return true;
        default:
            return false;
    }
}

void MainWindow::restoreFromTray() {
    dock_.showFromTray();
    SetTimer(hwnd(), kSlideTimer, kSlidePeriod, nullptr);
    SetForegroundWindow(hwnd());
    ShowWindow(hwnd(), SW_RESTORE);
}

HMENU MainWindow::loadTrayMenu() const {
    HMENU loaded = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (!loaded) return nullptr;
    HMENU tray = GetSubMenu(loaded, 0);
    HMENU main = GetMenu(hwnd());
    copyMenuState(GetSubMenu(main, kNetworkMenu), kConnectItem, tray, kTrayConnectItem);
    copyMenuState(GetSubMenu(main, kNetworkMenu), kDisconnectItem, tray, kTrayDisconnectItem);
    copyMenuState(GetSubMenu(main, kToolsMenu), kStatisticsItem, tray, kTrayStatusItem);
    return loaded;
}

void MainWindow::showTrayMenu() {
    HMENU loaded = loadTrayMenu();
    if (!loaded) return;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(hwnd());
    TrackPopupMenu(GetSubMenu(loaded, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
    // Without a message after it, the menu would not close when the user clicks elsewhere.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    DestroyMenu(loaded);
}

void MainWindow::onLinkUp() {
    connected_ = true;
    std::wstring speed = probes_ ? gbToWide(probes_->linkSpeedText()) : std::wstring();
    tray_.showBalloon(L"澄远宽带拨号客户端已连接", speed, icon_);
    PostMessageW(hwnd(), WM_KILLFOCUS, 0, 0);
}

void MainWindow::onLinkDown() {
    connected_ = false;
    tray_.showBalloon(L"", L"澄远宽带拨号客户端连接已断开", offlineIcon_);
}

void MainWindow::showHelp() {
    std::filesystem::path help = services_.folder / "help.chm";
    HWND viewer = nullptr;
    // The viewer is looked up when needed: most starts never open help.
    std::error_code error;
    if (std::filesystem::is_regular_file(help, error)) {
        if (HMODULE library = LoadLibraryW(L"hhctrl.ocx")) {
            using HtmlHelp = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
            auto open = reinterpret_cast<HtmlHelp>(
                reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
            const UINT kDisplayTopic = 0;
            if (open) viewer = open(GetDesktopWindow(), help.c_str(), kDisplayTopic, 0);
        }
    }
    if (!viewer)
        prompt({hwnd(), wideToGb(L"澄远宽带拨号客户端帮助文件没找到！请确定帮助文件是否存在！"),
                wideToGb(L"提示"), PromptIcon::Stop});
}

// A brush of the background bitmap at the client area's size paints the window and shows
// through the labels; the bitmaps it is made from are not kept.
void MainWindow::makeBackground() {
    auto background = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                      MAKEINTRESOURCEW(IDB_MAIN_BACKGROUND),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!background) return;
    RECT area;
    GetClientRect(hwnd(), &area);
    HDC screen = GetDC(hwnd());
    HDC target = CreateCompatibleDC(screen);
    HDC source = CreateCompatibleDC(screen);
    HBITMAP stretched = CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ oldTarget = SelectObject(target, stretched);
    HGDIOBJ oldSource = SelectObject(source, background);
    BITMAP info{};
    GetObjectW(background, sizeof(info), &info);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(hwnd(), screen);
    backgroundBrush_ = CreatePatternBrush(stretched);
    DeleteObject(stretched);
    DeleteObject(background);
}

bool MainWindow::paintBackground(HDC dc) {
    if (!backgroundBrush_) return false;  // without its bitmap the window draws plainly
    RECT area;
    GetClientRect(hwnd(), &area);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &area, backgroundBrush_);
    return true;
}

// The labels show the background through, aligned with the window's.
HBRUSH MainWindow::labelBrush(HDC dc, HWND label) {
    if (!backgroundBrush_ || GetParent(label) != hwnd()) return nullptr;
    RECT r;
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    return backgroundBrush_;
}

void MainWindow::onDestroy() {
    // The watcher first, then the monitors, so that nothing redials; then the session ends
    // as a normal disconnection and the link the program leaves behind is hung up.
    for (UINT_PTR timer : {kHoverTimer, kSlideTimer, kScheduleTimer}) KillTimer(hwnd(), timer);
    networkWatcher_.stop();
    loginPage_->stopMonitors();
    if (services_.connectManage) {
        loginPage_->closeRecordNormal();
        services_.connectManage->Close();
    }
    tray_.remove();
    RemovePropW(hwnd(), kProductTitle);
    messageChannel_.close();
}

}  // namespace tarnix
