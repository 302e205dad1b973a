#include "app/win/MainWindow.h"

#include <chrono>
#include <cwchar>
#include <iterator>
#include <utility>

#include <windowsx.h>

#include "app/win/AboutDialog.h"
#include "app/win/DialerApp.h"
#include "base/Clock.h"
#include "base/CodePage.h"
#include "base/Paths.h"
#include "base/Power.h"
#include "base/Prompt.h"
#include "diagnostics/FaultCheckTexts.h"
#include "diagnostics/win/FaultCheckDialog.h"
#include "diagnostics/win/LinkIsUpNotice.h"
#include "dial/ConnectManage.h"
#include "dial/LinkProbes.h"
#include "records/OpenSession.h"
#include "records/RecordTime.h"
#include "records/UsageAllowance.h"
#include "records/win/RecordQueryDialog.h"
#include "records/win/StatisticsDialog.h"
#include "records/win/UserManagementDialog.h"
#include "resource.h"
#include "settings/win/SettingsDialog.h"
#include "shortcuts/win/OpenSoftDialog.h"
#include "shortcuts/ShortcutSettings.h"
#include "shortcuts/win/OpenSoftLauncher.h"
#include "store/ConfigStore.h"
#include "update/win/UpdateSettingsPage.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/Strings.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

// The scheduled shutdown's check, once a second while a shutdown is scheduled (timers 1
// and 2 are the docking's): a client with none set has no timer waking it.
constexpr UINT_PTR kScheduleTimer = 4;
constexpr UINT kSchedulePeriod = 1000;
// The daily reconnect's check, once a second while one is set; the allowance's, once a
// minute while one is set.
constexpr UINT_PTR kReconnectTimer = 5, kUsageTimer = 6;
constexpr UINT kUsagePeriod = 60 * 1000;
constexpr UINT kTrayIconId = IDI_TRAY_OFFLINE;
// Posted at initialisation: what the window needs not wait for, once it shows.
constexpr UINT kStartAfterShown = WM_APP + 1;
// Posted by the resume watcher once the network is back after a sleep.
constexpr UINT kNetworkBackAfterSleep = WM_APP + 2;
// Posted when the monitors or the work area change: the window fits itself once they settle.
constexpr UINT kFitWorkArea = WM_APP + 3;
// The gap between the window and the screen's right edge at start, at 96 DPI.
constexpr int kRightGap = 20;

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

}  // namespace

// One row a command id: what it does. The menus, the toolbar and the tray menu each have
// their own ids for the same commands.
struct MainWindow::CommandRoute {
    int id;
    void (MainWindow::*run)();
};

const MainWindow::CommandRoute MainWindow::kCommands[] = {
    {ID_MENU_CONNECT, &MainWindow::connect},
    {ID_TOOL_CONNECT, &MainWindow::connect},
    {ID_TRAY_CONNECT, &MainWindow::connect},
    {ID_MENU_DISCONNECT, &MainWindow::disconnect},
    {ID_TOOL_DISCONNECT, &MainWindow::disconnect},
    {ID_TRAY_DISCONNECT, &MainWindow::disconnect},
    {ID_MENU_ABOUT, &MainWindow::showAbout},
    {ID_TRAY_ABOUT, &MainWindow::showAbout},
    {ID_TRAY_SHOW, &MainWindow::showFromTray},
    {ID_HELP, &MainWindow::showHelp},
    {ID_RECORD_QUERY, &MainWindow::showRecords},
    {ID_STATISTICS, &MainWindow::showStatistics},
    {ID_TRAY_STATUS, &MainWindow::showStatistics},
    {ID_USER_MANAGEMENT, &MainWindow::showUsers},
    {ID_FAULT_CHECK, &MainWindow::checkFaults},
    {ID_TOOL_SETTINGS, &MainWindow::showSettings},
    {ID_MENU_SETTINGS, &MainWindow::showSettings},
    {ID_START_LIST, &MainWindow::editStartList},
    {ID_NEWS, &MainWindow::showNews},
    {ID_UPDATE, &MainWindow::startUpdater},
    {ID_MENU_EXIT, &MainWindow::exitProgram},
    {ID_TRAY_EXIT, &MainWindow::exitProgram},
};

MainWindow::MainWindow(Services services)
    : Dialog(IDD_MAIN),
      services_(std::move(services)),
      // Aimed at the server of Provider.ini beside the program.
      messageChannel_(readMessageServer(programFolder(), systemProfile())),
      shortcutsPage_(IDD_PAGE_SHORTCUTS),
      remote_(remoteWindow()) {
    icon_ = loadIcon(IDI_MAIN);
    offlineIcon_ = loadIcon(IDI_TRAY_OFFLINE);
    keys_ = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
}

MainWindow::~MainWindow() = default;

BOOL MainWindow::onInitDialog() {
    dpi_ = dpiOf(hwnd());
    fit_.attach(hwnd(), item(IDC_TABS), services_.workArea);
    fit_.scaleTo(dpi_);
    docking_.attach(hwnd());
    if (icon_) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    caption_.attach(hwnd(), icon_, kProductTitle);

    openPages();
    placeAtRightEdge();
    toolbar_.create(hwnd());
    layoutUnderToolbar();
    fitWorkArea();
    background_.attach(hwnd(), IDB_MAIN_BACKGROUND);
    paintMenus();
    entryIdle_ = itemText(IDC_ENTRY_VALUE);
    stateIdle_ = itemText(IDC_STATE_VALUE);
    addressIdle_ = itemText(IDC_IP_VALUE);

    // Before the property, so that a second start's request comes after it.
    PostMessageW(hwnd(), kStartAfterShown, 0, 0);
    // A second start finds this window by its property.
    SetPropW(hwnd(), kProductTitle, reinterpret_cast<HANDLE>(1));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_.prepare(hwnd(), kTrayIconId, WM_TRAY_NOTIFY, offlineIcon_, loadString(IDS_TRAY_TIP));
    if (services_.connectManage)
        probes_ = std::make_unique<LinkProbes>(services_.connectManage->remoteAccess(),
                                               systemInterfaceTable());
    return TRUE;
}

// What the window needs not wait for: the first paint comes first, then the tray icon (the
// shell takes its time over a new one), the monitors and the watchers, and whatever
// start-up has to tell.
void MainWindow::startAfterShown() {
    if (sessionEnded_) return;
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!tray_.added()) tray_.show();  // a balloon may have shown it already
    // The message server hears from this client once it has something to tell.
    messageChannel_.openOnFirstNotice();
    messageDesk_.attach(hwnd(), services_.messages, services_.config, services_.folder,
                        services_.fetchMessages);
    startLoginPage();
    watchSchedule();
    // So that the scheduled shutdown may shut down or restart the computer.
    enableShutdownPrivilege();
    // A config.xml that could not be read, or was kept aside, is told now the window shows.
    services_.config.ShowStartNotice(hwnd());
}

// The four pages, each filling the tab control right of the column of tabs; the hidden
// three are built when their tab is first chosen.
void MainWindow::openPages() {
    shortcutsPage_.setProgramFolder(services_.folder);
    ShortcutSettings(ShortcutSettings::fileIn(services_.folder)).writeIfMissing();
    loginPage_ = std::make_unique<LoginPage>(services_.config, services_.connectManage,
                                             recordFolder(),
                                             static_cast<LinkDisplay*>(this));
    Dialog* pages[] = {loginPage_.get(), &shortcutsPage_, &servicesPage_, &contactPage_};
    tabs_.create(hwnd(), item(IDC_TABS), pages);
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
    colourMenus();
    EnableMenuItem(GetSubMenu(menu, kToolsMenu), kStatisticsItem, MF_BYPOSITION | MF_GRAYED);
    EnableMenuItem(GetSubMenu(menu, kNetworkMenu), kDisconnectItem, MF_BYPOSITION | MF_GRAYED);
}

// The menus in the product's light blue; in high contrast in the system's colours.
void MainWindow::colourMenus() {
    HMENU menu = GetMenu(hwnd());
    if (!menu) return;
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
    if (!menuBrush_) menuBrush_.reset(CreateSolidBrush(RGB(183, 207, 255)));
    info.hbrBack = highContrast() ? nullptr : menuBrush_.get();
    SetMenuInfo(menu, &info);
    DrawMenuBar(hwnd());
}

// High contrast turned on or off, or the system's colours changed: the skin, the art and
// the menus' blue give way to the system's colours, or come back.
void MainWindow::followColours() {
    colourMenus();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::placeAtRightEdge() {
    RECT r;
    GetWindowRect(hwnd(), &r);
    int width = r.right - r.left;
    int right = GetSystemMetrics(SM_CXSCREEN) - dpi_.scale(kRightGap);
    SetWindowPos(hwnd(), nullptr, right - width, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::fitWorkArea() {
    if (IsIconic(hwnd())) return;
    const bool changed = fit_.fit(dpi_, dock().side() == DockSide::None);
    if (!changed) return;
    tabs_.fitPages();
    // The background is stretched over the client area it is made for.
    if (background_.attached()) background_.attach(hwnd(), IDB_MAIN_BACKGROUND);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// On a monitor of another scale: the window stands where the system suggests, at its size for
// the new scale, keeping the edge it is docked to, and sizes its pictures and metrics anew.
// Handled here, the change is not the dialog manager's: the pages' controls and the fonts
// follow by this window's hand too.
void MainWindow::onDpiChanged(Dpi dpi, const RECT& suggested) {
    RECT before;
    GetWindowRect(hwnd(), &before);
    const Dpi was = std::exchange(dpi_, dpi);
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    fit_.scaleTo(dpi);
    RECT sized;
    GetWindowRect(hwnd(), &sized);
    const Rect kept = dock().resized({before.left, before.top, before.right, before.bottom},
                                     {sized.left, sized.top, sized.right, sized.bottom});
    SetWindowPos(hwnd(), nullptr, kept.left, kept.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    docking_.scaleTo(dpi);
    caption_.scaleTo(dpi);
    toolbar_.scaleTo(dpi);
    layoutUnderToolbar();
    tabs_.scaleTo(dpi);
    // The lines below the tabs: the font at the new scale; their places are the fit's.
    lineFonts_.apply(hwnd(), was, dpi, false);
    fitWorkArea();
    background_.attach(hwnd(), IDB_MAIN_BACKGROUND);
    RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::startLoginPage() {
    loginPage_->listDialEntries();
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
    // A key does only what its menu item would: nothing while the item is greyed.
    const UINT kFromKey = 1;
    if (code == kFromKey && !control && GetMenu(hwnd())) {
        UINT state = GetMenuState(GetMenu(hwnd()), id, MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED))) return true;
    }
    if (messageDesk_.onCommand(id)) return true;
    for (const CommandRoute& command : kCommands) {
        if (command.id != id) continue;
        (this->*command.run)();
        return true;
    }
    return false;
}

void MainWindow::showAbout() {
    AboutDialog().runModal(hwnd());
}

void MainWindow::showRecords() {
    RecordQueryDialog(recordFolder(), clock(), readAllowance(services_.config)).runModal(hwnd());
}

void MainWindow::showStatistics() {
    if (!services_.connectManage) return;
    LinkProbes link(services_.connectManage->remoteAccess(), systemInterfaceTable());
    StatisticsDialog(link, recordFolder(), clock(), readAllowance(services_.config))
        .runModal(hwnd());
}

void MainWindow::showUsers() {
    UserManagementDialog(services_.config).runModal(hwnd());
}

void MainWindow::showSettings() {
    SettingsDialog({services_.config, clock(), systemStartupRegistration(),
                    systemConnectionProxy(), currentProgramPath(), makeUpdatePage})
        .runModal(hwnd());
    watchSchedule();  // the dialog may have set or removed the shutdown
}

void MainWindow::watchSchedule() {
    if (ShutdownSchedule::isSet(services_.config))
        SetTimer(hwnd(), kScheduleTimer, kSchedulePeriod, nullptr);
    else
        KillTimer(hwnd(), kScheduleTimer);
    if (readReconnectTime(services_.config))
        SetTimer(hwnd(), kReconnectTimer, kSchedulePeriod, nullptr);
    else
        KillTimer(hwnd(), kReconnectTimer);
    if (readAllowance(services_.config).any())
        SetTimer(hwnd(), kUsageTimer, kUsagePeriod, nullptr);
    else
        KillTimer(hwnd(), kUsageTimer);
}

// The check reads the local side of a link that is down; with the link up it is refused.
void MainWindow::checkFaults() {
    if (services_.connectManage && services_.connectManage->CheckNet() == 1) {
        LinkIsUpNotice().runModal(hwnd());
        return;
    }
    FaultCheckDialog([folder = services_.folder] {
        return makeNetworkInventory(folder, systemProfile(), makeSystemNetworkInventory);
    })
        .runModal(hwnd());
}

void MainWindow::editStartList() {
    OpenSoftDialog(services_.folder).runModal(hwnd());
}

// The news message opens the window once a run; the subscriber's menu item shows it
// whenever asked.
void MainWindow::showNews() {
    news_.show(hwnd(), services_.folder);
}

Clock& MainWindow::clock() const {
    return services_.clock ? *services_.clock : systemClock();
}

void MainWindow::showFromTray() {
    ShowWindow(hwnd(), SW_RESTORE);
    fitWorkArea();  // its monitor may have gone while it was hidden
    SetForegroundWindow(hwnd());
}

bool MainWindow::onNotify(int id, NMHDR& header, LRESULT& result) {
    if (tabs_.handleNotify(header)) return true;
    if (header.code == TTN_GETDISPINFOW) {
        auto& tip = reinterpret_cast<NMTTDISPINFOW&>(header);
        std::wstring text = commandTip(static_cast<UINT>(header.idFrom));
        lstrcpynW(tip.szText, text.c_str(), static_cast<int>(std::size(tip.szText)));
        tip.lpszText = tip.szText;
        return true;
    }
    return false;
}

void MainWindow::onTimer(UINT_PTR id) {
    if (id == kReconnectTimer) {
        reconnectIfDue();
        return;
    }
    if (id == kUsageTimer) {
        warnOfUsage();
        return;
    }
    if (messageDesk_.onTimer(id) || id != kScheduleTimer) return;
    if (schedule_.tick(services_.config, clock(), services_.power ? *services_.power : systemPower())
            .due)
        KillTimer(hwnd(), kScheduleTimer);  // spent: the store holds none now
}

// The daily reconnect: a normal hang-up, then a dial with the account shown, at once. A
// page without a password could not dial again, so its link is left up.
void MainWindow::reconnectIfDue() {
    const bool canRedial = connected_ && loginPage_->hasAccountAndPassword();
    if (!reconnect_.tick(clock().now(), readReconnectTime(services_.config), canRedial)) return;
    disconnect();
    connect();
}

// Once a minute, from the record files and the live link's counters: a balloon at 80 % and
// at 100 % of the month's allowance, each once a cycle.
void MainWindow::warnOfUsage() {
    const UsageAllowance allowance = readAllowance(services_.config);
    if (!allowance.any()) return;
    const LocalTime now = clock().now();
    const LocalTime cycle = cycleStart(now, allowance.startDay);
    std::optional<LinkCounters> counters;
    if (connected_ && probes_) probes_->readCounters(counters);
    std::optional<std::int64_t> live;
    if (counters) live = std::int64_t{counters->bytesSent} + counters->bytesReceived;
    const int level = dueWarning(services_.config, cycle,
                                 usedPercent(allowance, usageSince(recordFolder(), cycle, now, live)));
    if (level == 0) return;
    tray_.showBalloon(loadString(IDS_USAGE_WARNING_TITLE),
                      loadString(level >= 100 ? IDS_USAGE_WARNING_100 : IDS_USAGE_WARNING_80), icon_);
}

void MainWindow::onSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED) return;
    // Only the tray icon leads back to a minimised window.
    ShowWindow(hwnd(), SW_HIDE);
    docking_.stop();
}

HBRUSH MainWindow::onControlColour(HDC dc, HWND control, UINT msg) {
    return msg == WM_CTLCOLORSTATIC ? background_.labelBrush(dc, control) : nullptr;
}

void MainWindow::onClose() {
    // The program ends through its exit commands only.
    PostMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

bool MainWindow::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (caption_.handle(msg, wParam, lParam, result)) return true;
    if (docking_.handle(msg, wParam, lParam, result)) return true;
    if (msg == taskbarCreated_ && taskbarCreated_) {
        tray_.show();  // Explorer restarted: without the icon a hidden client is lost
        return true;
    }
    switch (msg) {
        case kStartAfterShown:
            startAfterShown();
            return true;
        case WM_TRAY_NOTIFY:
            onTrayEvent(LOWORD(lParam), wParam);
            return true;
        case WM_LINK_UP:
            onLinkUp();
            return true;
        case WM_LINK_DOWN:
            onLinkDown();
            return true;
        case WM_NEWS_WINDOW:
            news_.open(hwnd(), services_.folder);
            return true;
        case WM_START_PROGRAMS:
            openSoftListEntries(services_.folder);
            return true;
        case WM_NO_ACTION:
            return true;
        case WM_COPYDATA:
            result = remote_.onCopyData(hwnd(), wParam, lParam);
            return true;
        case WM_QUERYENDSESSION:
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            // Windows ends the process soon after this returns: the session ends now.
            if (wParam) endSession();
            return true;
        case WM_POWERBROADCAST:
            onPowerEvent(wParam);
            result = TRUE;
            return true;
        case kNetworkBackAfterSleep:
            if (!sessionEnded_ && loginPage_->hasAccountAndPassword()) connect();
            return true;
        case WM_NETWORK_READY:
            updateCheck_.start(hwnd(), services_.config, services_.folder);
            return true;
        case WM_PAINT:
            if (!IsIconic(hwnd())) return false;
            paintIcon();
            return true;
        case WM_DPICHANGED:
            onDpiChanged(Dpi(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
            return true;
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE:
            if (msg == WM_DISPLAYCHANGE || wParam == SPI_SETWORKAREA)
                PostMessageW(hwnd(), kFitWorkArea, 0, 0);
            if (msg == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST) followColours();
            return false;
        case kFitWorkArea:
            fitWorkArea();
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
            return true;
        case WM_SYSCOLORCHANGE:
            followColours();
            return false;
        default:
            return false;
    }
}

bool MainWindow::preTranslate(MSG& msg) {
    // Enter and Escape do nothing anywhere in the window, except in a control that takes
    // every key (the shortcut panel's caption editor ends its editing with them) and on the
    // login page, where Enter presses its buttons.
    if (loginPage_ && loginPage_->filterMessage(msg)) return true;
    if (keys_ && TranslateAcceleratorW(hwnd(), keys_, &msg)) return true;
    if (tabs_.handleKey(msg)) return true;
    if ((msg.message != WM_KEYDOWN && msg.message != WM_CHAR) ||
        (msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN))
        return false;
    const LRESULT wants =
        SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return (wants & DLGC_WANTALLKEYS) == 0;
}

void MainWindow::onTrayEvent(UINT event, WPARAM anchor) {
    switch (event) {
        case WM_LBUTTONDBLCLK:
        case NIN_KEYSELECT:  // Enter or Space on the icon
            restoreFromTray();
            break;
        case WM_RBUTTONDOWN: {
            // The shell follows a right click with WM_CONTEXTMENU, which the menu shown on
            // the press stands for already.
            POINT at;
            GetCursorPos(&at);
            showTrayMenu(at);
            trayMenuByMouse_ = true;
            break;
        }
        case WM_CONTEXTMENU:
            // From the keyboard (Shift+F10, the context-menu key): at the icon.
            if (!std::exchange(trayMenuByMouse_, false))
                showTrayMenu({GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)});
            break;
        case WM_MOUSEMOVE:
            tray_.setTip(probes_ ? gbToWide(probes_->trayTipText(connected_)) : tray_.tip());
            break;
        default:
            break;
    }
}

void MainWindow::restoreFromTray() {
    docking_.slideIn();
    SetForegroundWindow(hwnd());
    ShowWindow(hwnd(), SW_RESTORE);
    fitWorkArea();  // its monitor may have gone while it was hidden
}

HMENU MainWindow::loadTrayMenu() const {
    HMENU loaded = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (!loaded) return nullptr;
    HMENU tray = GetSubMenu(loaded, 0);
    HMENU main = GetMenu(hwnd());
    copyMenuState(GetSubMenu(main, kNetworkMenu), kConnectItem, tray, kTrayConnectItem);
    copyMenuState(GetSubMenu(main, kNetworkMenu), kDisconnectItem, tray, kTrayDisconnectItem);
    copyMenuState(GetSubMenu(main, kToolsMenu), kStatisticsItem, tray, kTrayStatusItem);
    messageDesk_.prepareMenu(tray);
    return loaded;
}

void MainWindow::showTrayMenu(POINT at) {
    ScopedMenu loaded(loadTrayMenu());
    if (!loaded) return;
    SetForegroundWindow(hwnd());
    TrackPopupMenu(GetSubMenu(loaded.get(), 0), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
    // Without a message after it, the menu would not close when the user clicks elsewhere.
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void MainWindow::onLinkUp() {
    connected_ = true;
    remote_.link().linkUp();
    std::wstring speed = probes_ ? gbToWide(probes_->linkSpeedText()) : std::wstring();
    tray_.showBalloon(loadString(IDS_BALLOON_CONNECTED), speed, icon_);
    showConnectionLines(true);
    // The programs and pages the subscriber listed open once the link is there.
    PostMessageW(hwnd(), WM_START_PROGRAMS, 0, 0);
    if (news_.openAfterLinkUp(services_.folder)) PostMessageW(hwnd(), WM_NEWS_WINDOW, 0, 0);
    messageDesk_.linkUp();
    PostMessageW(hwnd(), WM_KILLFOCUS, 0, 0);
}

void MainWindow::onLinkDown() {
    connected_ = false;
    remote_.link().linkDown();
    messageDesk_.linkDown();
    tray_.showBalloon(L"", loadString(IDS_BALLOON_DISCONNECTED), offlineIcon_);
    showConnectionLines(false);
}

// While the dial entry's link is up the lines name it, its state and its address; when it
// goes, they read as the template has them.
void MainWindow::showConnectionLines(bool up) {
    std::wstring address = up && probes_ ? gbToWide(probes_->connectionAddress()) : L"";
    setItemText(IDC_ENTRY_VALUE, up ? gbToWide(kDialEntryName) : entryIdle_);
    setItemText(IDC_STATE_VALUE, up ? loadString(IDS_STATE_CONNECTED) : stateIdle_);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, item(IDC_STATE_VALUE), OBJID_CLIENT, CHILDID_SELF);
    setItemText(IDC_IP_VALUE, up && !address.empty() ? address : addressIdle_);
}

void MainWindow::showCommandState(bool connected) {
    enableCommands(!connected, connected, connected);
    if (!connected && services_.connectManage)
        remote_.link().dialEnded(services_.connectManage->LastError());
}

// A dial under way can be cancelled but not started again; the status line says which
// dial it is, replacing what an earlier failure said.
void MainWindow::showDialling(int attempt, int attempts) {
    enableCommands(false, true, false);
    remote_.link().dialling();
    const UINT id = attempt == 0 ? IDS_DIALLING : attempts > 0 ? IDS_REDIALLING_OF : IDS_REDIALLING;
    wchar_t text[128] = {};
    std::swprintf(text, std::size(text), loadString(id).c_str(), attempt, attempts);
    showStatus(text);
}

// The toolbar, the menus and the login page's buttons together; the tray menu copies the
// menus when it opens.
void MainWindow::enableCommands(bool connect, bool disconnect, bool statistics) {
    toolbar_.enable(ID_TOOL_DISCONNECT, disconnect);
    toolbar_.enable(ID_TOOL_CONNECT, connect);
    loginPage_->enableButtons(connect, disconnect);
    HMENU menu = GetMenu(hwnd());
    if (!menu) return;
    auto enable = [](HMENU popup, UINT position, bool on) {
        if (popup) EnableMenuItem(popup, position, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(GetSubMenu(menu, kNetworkMenu), kConnectItem, connect);
    enable(GetSubMenu(menu, kNetworkMenu), kDisconnectItem, disconnect);
    enable(GetSubMenu(menu, kToolsMenu), kStatisticsItem, statistics);
    DrawMenuBar(hwnd());
}

// Screen readers hear the status line (a dial's progress, its failure) as it changes.
void MainWindow::showStatus(const std::wstring& text) {
    setItemText(IDC_STATUS_LINE, text);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, item(IDC_STATUS_LINE), OBJID_CLIENT, CHILDID_SELF);
}

// The status line already says why; the balloon reaches a user whose window is hidden.
void MainWindow::dialFailed(const std::wstring& text) {
    tray_.showBalloon(loadString(IDS_BALLOON_DIAL_FAILED), text, offlineIcon_);
}

void MainWindow::showHelp() {
    std::filesystem::path help = services_.folder / "help.chm";
    HWND viewer = nullptr;
    // The viewer is looked up when needed: most starts never open help.
    std::error_code error;
    if (std::filesystem::is_regular_file(help, error)) {
        // Kept loaded: the viewer's window lives in it.
        static HMODULE library = LoadLibraryW(L"hhctrl.ocx");
        if (library) {
            using HtmlHelp = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
            auto open = reinterpret_cast<HtmlHelp>(
                reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
            const UINT kDisplayTopic = 0;
            if (open) viewer = open(GetDesktopWindow(), help.c_str(), kDisplayTopic, 0);
        }
    }
    if (!viewer)
        prompt({hwnd(), text(IDS_HELP_MISSING), text(IDS_PROMPT_CAPTION), PromptIcon::Stop});
}

// A minimised window shows the program's icon in the middle of its client area.
void MainWindow::paintIcon() {
    PaintDC dc(hwnd());
    RECT area;
    GetClientRect(hwnd(), &area);
    int x = (area.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (area.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (icon_) DrawIcon(dc.get(), x, y, icon_);
}

void MainWindow::exitProgram() {
    // A dial in progress is given up now rather than when the window is destroyed: hiding
    // a window can take the window system a while, and the line is the user's to have back.
    networkWatcher_.stop();
    loginPage_->stopMonitors();
    end(0);
}

// The link does not survive sleep: on suspend it ends as the user's disconnect would (a
// normal record, no redial, one balloon); on resume the start's policy dials again once the
// network is back.
void MainWindow::onPowerEvent(WPARAM event) {
    if (sessionEnded_) return;
    if (event == PBT_APMSUSPEND) {
        resumeWatcher_.stop();
        redialAfterSleep_ = loginPage_->connectedState();
        if (redialAfterSleep_) disconnect();
        return;
    }
    if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) return;
    // Both arrive after a resume the user started: the first one does it.
    if (!redialAfterSleep_) return;
    redialAfterSleep_ = false;
    if (!services_.connectManage || !services_.config.GetAutoConnect()) return;
    CConnectManage* manage = services_.connectManage;
    HWND self = hwnd();
    resumeWatcher_.stop();
    resumeWatcher_.start([manage] { return manage->CheckNetType(); },
                         [self] { PostMessageW(self, kNetworkBackAfterSleep, 0, 0); });
}

// At exit, or when Windows ends the session: the watchers first, then the monitors, so that
// nothing redials; then the session ends as a normal disconnection, the server is told, and
// the link the program leaves behind is hung up. Only then the other workers, for 2 s in
// all: one still waiting on the network is left behind rather than holding the exit. Once.
void MainWindow::endSession() {
    if (sessionEnded_) return;
    sessionEnded_ = true;
    KillTimer(hwnd(), kScheduleTimer);
    KillTimer(hwnd(), kReconnectTimer);
    KillTimer(hwnd(), kUsageTimer);
    docking_.stop();
    networkWatcher_.stop();
    resumeWatcher_.stop();
    loginPage_->stopMonitors();
    loginPage_->endSession();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    messageDesk_.stop();
    updateCheck_.waitUntil(deadline);
}

// What a script's request asks of the window. The session's account and start come from its
// open record, so a link adopted at start is told as the one dialled by this run.
RemoteCommandPort::Window MainWindow::remoteWindow() {
    RemoteCommandPort::Window window;
    window.canDial = [this] { return loginPage_->hasAccountAndPassword(); };
    window.connect = [this] { post([this] { connect(); }); };
    window.disconnect = [this] { post([this] { disconnect(); }); };
    window.account = [this] {
        auto open = findOpenSession(recordFolder(), clock().now());
        return open ? open->account : std::string();
    };
    window.address = [this] { return probes_ ? probes_->connectionAddress() : std::string(); };
    window.secondsUp = [this]() -> std::uint32_t {
        const LocalTime now = clock().now();
        auto open = findOpenSession(recordFolder(), now);
        const int64_t seconds = open ? calendarSeconds(now) - calendarSeconds(open->start) : 0;
        return seconds > 0 ? static_cast<std::uint32_t>(seconds) : 0;
    };
    return window;
}

void MainWindow::onDestroy() {
    endSession();
    tray_.remove();
    RemovePropW(hwnd(), kProductTitle);
    messageChannel_.close();
}

}  // namespace tarnix
