// The main window in-process over the dial fakes: its commands reach the login page, its
// toolbar, menus and tray follow the link, it hides in the tray and comes back, and its
// keys, tabs and help behave as a user expects.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "TextIds.h"
#include "base/Texts.h"
#include "../support/Accessibility.h"
#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/PixelSnapshot.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"
#include "../support/WindowPump.h"
#include "../support/update_HttpServer.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "app/win/MainToolbar.h"
#include "app/win/MainWindow.h"
#include "dial/DialFailure.h"
#include "records/MonthFile.h"
#include "resource.h"
#include "settings/ShutdownSchedule.h"
#include "base/CodePage.h"

namespace tarnix {
namespace {

using testing::menuEnabled;
using testing::menuItemEnabled;
using testing::pumpPending;
using testing::pumpUntil;


class MainWindowTest : public ::testing::Test {
  protected:
    void open() {
        window_ = std::make_unique<MainWindow>(MainWindow::Services{
            *rig_.config, rig_.connectManage.get(), rig_.folder, &rig_.clock, &power_});
        ASSERT_NE(window_->create(nullptr), nullptr);
        pumpPending();
    }
    void TearDown() override {
        // Destroyed while the object is whole, as the exit command does, so that its own
        // destruction (monitors, hang-up, tray icon) runs.
        if (window_ && window_->hwnd()) DestroyWindow(window_->hwnd());
        window_.reset();
        pumpPending();
    }
    HWND hwnd() { return window_->hwnd(); }
    void command(int id) { SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void tray(UINT mouseMessage) { SendMessageW(hwnd(), WM_TRAY_NOTIFY, IDI_TRAY_OFFLINE, mouseMessage); }
    // The link is `up` and the window shows it, to the last report.
    bool shown(bool up) {
        return window_->loginPage()->connectedState() == up &&
               window_->itemText(IDC_STATUS_LINE) ==
                   (up ? L"已经成功地建立了连接" : L"欢迎使用澄远宽带拨号客户端");
    }
    bool toolEnabled(int id) {
        return SendMessageW(window_->toolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    void typeAccount() {
        HWND page = window_->loginPage()->hwnd();
        SetDlgItemTextW(page, IDC_ACCOUNT, L"dora");
        SetDlgItemTextW(page, IDC_PASSWORD, L"pw");
    }
    // Connect enabled and disconnect and statistics disabled everywhere, or the reverse;
    // while dialling, only disconnect enabled.
    void expectCommandState(bool linkUp, bool dialling = false) {
        const bool connect = !linkUp && !dialling, disconnect = linkUp || dialling;
        EXPECT_EQ(toolEnabled(ID_TOOL_CONNECT), connect);
        EXPECT_EQ(toolEnabled(ID_TOOL_DISCONNECT), disconnect);
        EXPECT_EQ(IsWindowEnabled(window_->loginPage()->item(IDC_CONNECT)) != 0, connect) << "登录";
        EXPECT_EQ(IsWindowEnabled(window_->loginPage()->item(IDC_DISCONNECT)) != 0, disconnect)
            << "断开";
        EXPECT_EQ(menuEnabled(hwnd(), 0, 0), connect);
        EXPECT_EQ(menuEnabled(hwnd(), 0, 2), disconnect);
        EXPECT_EQ(menuEnabled(hwnd(), 1, 2), linkUp);
        HMENU loaded = window_->loadTrayMenu();
        ASSERT_NE(loaded, nullptr);
        HMENU trayMenu = GetSubMenu(loaded, 0);
        EXPECT_EQ(menuItemEnabled(trayMenu, 2), connect) << "登录连接";
        EXPECT_EQ(menuItemEnabled(trayMenu, 3), disconnect) << "断开连接";
        EXPECT_EQ(menuItemEnabled(trayMenu, 4), linkUp) << "连接状态";
        EXPECT_TRUE(menuItemEnabled(trayMenu, 0)) << "显示主界面 always";
        DestroyMenu(loaded);
    }

    // Drags the window with the cursor at `cursor`; gives the rectangle the window makes
    // of the proposed one.
    RECT drag(POINT cursor, RECT proposed) {
        SetCursorPos(cursor.x, cursor.y);
        SendMessageW(hwnd(), WM_MOVING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
        return proposed;
    }

    testing::DialRig rig_{"main"};
    testing::PromptRecorder prompts_;
    testing::RecordingPower power_;
    std::unique_ptr<MainWindow> window_;
    static inline std::vector<HWND> renamed_;
};

using ScopedWinEventHook = Scoped<HWINEVENTHOOK, freeing::Call<HWINEVENTHOOK, UnhookWinEvent>>;

TEST_F(MainWindowTest, EveryConnectAndDisconnectCommandDrivesTheLinkAndTheStatesFollow) {
    open();
    expectCommandState(false);
    LONG_PTR ex = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    EXPECT_EQ(window_->tray().tip(), L"澄远拨号");
    EXPECT_EQ(window_->tray().icon(),
              LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY_OFFLINE),
                         IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    typeAccount();

    const int connects[] = {ID_MENU_CONNECT, ID_TOOL_CONNECT, ID_TRAY_CONNECT};
    const int disconnects[] = {ID_MENU_DISCONNECT, ID_TOOL_DISCONNECT, ID_TRAY_DISCONNECT};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        command(connects[round]);
        ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
        expectCommandState(true);
        EXPECT_TRUE(window_->tray().balloonPending());
        EXPECT_EQ(window_->tray().balloonTitle(), L"澄远宽带拨号客户端已连接");
        EXPECT_EQ(window_->tray().icon(),
                  LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                             0, 0, LR_DEFAULTSIZE | LR_SHARED));

        command(disconnects[round]);
        ASSERT_TRUE(pumpUntil([&] { return shown(false); }));
        expectCommandState(false);
        EXPECT_EQ(window_->tray().balloonTitle(), L"");
        EXPECT_EQ(window_->tray().balloonText(), L"澄远宽带拨号客户端连接已断开");
    }
    EXPECT_EQ(rig_.backend->dialled().size(), 3u);
    EXPECT_EQ(rig_.backend->hungUp().size(), 3u);
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(MainWindowTest, TheConnectionLinesTellTheLinkAndAReaddedIconReplaysNoBalloon) {
    open();
    EXPECT_EQ(window_->itemText(IDC_STATE_VALUE), L"网络未连接");
    EXPECT_EQ(window_->itemText(IDC_IP_VALUE), L"未连接因特网");
    typeAccount();
    command(ID_MENU_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    EXPECT_EQ(window_->itemText(IDC_ENTRY_VALUE), L"pppoe_brelvan_default_entry");
    EXPECT_EQ(window_->itemText(IDC_STATE_VALUE), L"已连接");
    EXPECT_EQ(window_->itemText(IDC_IP_VALUE).rfind(L"10.1.", 0), 0u);

    // Explorer restarts: the icon comes back without the link-up balloon.
    ASSERT_TRUE(window_->tray().balloonPending());
    EXPECT_FALSE(window_->tray().addRecord().uFlags & NIF_INFO);
    SendMessageW(hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    command(ID_MENU_DISCONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(false); }));
    EXPECT_EQ(window_->itemText(IDC_ENTRY_VALUE), L"");
    EXPECT_EQ(window_->itemText(IDC_STATE_VALUE), L"网络未连接");
    EXPECT_EQ(window_->itemText(IDC_IP_VALUE), L"未连接因特网");
}

TEST_F(MainWindowTest, ARefusedDialSaysWhyOnTheStatusLineAndInABalloon) {
    // What a screen reader would hear of changed names.
    ScopedWinEventHook hook(SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) { renamed_.push_back(window); },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT));
    renamed_.clear();
    rig_.backend->failure = kDialErrorAuthentication;
    rig_.backend->plan({false});
    open();
    typeAccount();
    command(ID_MENU_CONNECT);
    const std::wstring why = dialFailureText(kDialErrorAuthentication);
    ASSERT_TRUE(pumpUntil([&] { return window_->tray().balloonText() == why; }));
    EXPECT_EQ(window_->itemText(IDC_STATUS_LINE), why);
    EXPECT_EQ(window_->tray().balloonTitle(), L"澄远宽带拨号客户端连接失败");
    EXPECT_FALSE(window_->loginPage()->connectedState());
    EXPECT_TRUE(prompts_.asked.empty()) << "told without a box to click away";
    pumpPending();
    EXPECT_NE(std::find(renamed_.begin(), renamed_.end(), window_->item(IDC_STATUS_LINE)),
              renamed_.end())
        << "screen readers were told the status line changed";
}

// From the press until the link is up or the dial fails, the window says it is dialling
// (the last failure's text gone) and only a disconnect is offered; the page's buttons
// follow as the toolbar does.
TEST_F(MainWindowTest, WhileADialRunsTheWindowSaysSoAndOffersOnlyToCancelIt) {
    rig_.backend->failure = kDialErrorAuthentication;
    rig_.backend->plan({false, true});
    rig_.config->SetReconnect(true);
    rig_.config->SetRedial("5", 3);
    open();
    typeAccount();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    HWND connect = window_->loginPage()->item(IDC_CONNECT);
    HWND disconnect = window_->loginPage()->item(IDC_DISCONNECT);
    const std::wstring why = dialFailureText(kDialErrorAuthentication);
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused);
        rig_.backend->holdDials(true);
        SetFocus(connect);  // pressed from the keyboard
        command(ID_MENU_CONNECT);
        ASSERT_TRUE(pumpUntil([&] { return window_->itemText(IDC_STATUS_LINE) == L"正在连接…"; }));
        expectCommandState(false, true);
        EXPECT_EQ(GetFocus(), disconnect) << "the focus leaves the greyed button for 断开";
        rig_.backend->holdDials(false);
        if (refused) {
            ASSERT_TRUE(pumpUntil([&] { return window_->itemText(IDC_STATUS_LINE) == why; }));
            expectCommandState(false);
            EXPECT_EQ(GetFocus(), connect) << "and comes back";
        } else {
            ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
            expectCommandState(true);
        }
    }
    // A redial after a drop says which attempt it is.
    rig_.backend->holdDials(true);
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(pumpUntil(
        [&] { return window_->itemText(IDC_STATUS_LINE) == L"正在重拨（第 1 次，共 3 次）…"; }));
    expectCommandState(false, true);
    rig_.backend->holdDials(false);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
}

TEST_F(MainWindowTest, TheRecordStatisticsAndAccountCommandsOpenTheirWindows) {
    open();
    for (int command : {ID_RECORD_QUERY, ID_STATISTICS, ID_TRAY_STATUS, ID_USER_MANAGEMENT}) {
        SCOPED_TRACE(command);
        int templateShown = 0;
        ASSERT_TRUE(testing::driveNextDialog([&] { this->command(command); },
                                             [&](testing::DialogDriver& driver) {
                                                 templateShown = IsWindow(driver.hwnd());
                                                 SendMessageW(driver.hwnd(), WM_CLOSE, 0, 0);
                                             }));
        EXPECT_TRUE(templateShown);
        EXPECT_TRUE(IsWindowEnabled(hwnd())) << "the main window is back when it closes";
    }
}

TEST_F(MainWindowTest, TheTrayTipTellsTheAddressOnlyWhileThisClientsLinkIsUp) {
    open();
    tray(WM_MOUSEMOVE);
    EXPECT_EQ(window_->tray().tip(), L"澄远拨号\r\n未通过本软件拨号");

    typeAccount();
    command(ID_MENU_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    tray(WM_MOUSEMOVE);
    std::wstring tip = window_->tray().tip();
    EXPECT_EQ(tip.rfind(L"澄远拨号\r\nIP地址：10.1.", 0), 0u) << gbToUtf8(wideToGb(tip));
    EXPECT_FALSE(window_->tray().balloonPending()) << "the move drops the pending balloon";
}

TEST_F(MainWindowTest, MinimisingHidesInTheTrayAndTheTrayBringsItBack) {
    open();
    ShowWindow(hwnd(), SW_SHOW);

    SendMessageW(hwnd(), WM_CLOSE, 0, 0);  // the close box
    ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(hwnd()); }));
    EXPECT_TRUE(IsWindow(hwnd())) << "closing only minimises";

    tray(WM_LBUTTONDBLCLK);
    pumpPending();
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_FALSE(IsIconic(hwnd()));

    SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(hwnd()); }));
    command(ID_TRAY_SHOW);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_FALSE(IsIconic(hwnd()));
}

TEST_F(MainWindowTest, EnterAndEscapeCloseNothingAndEnterInThePasswordBoxConnects) {
    open();
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        MSG down{window_->loginPage()->item(IDC_PASSWORD), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(window_->filterMessage(down));
        MSG onWindow{hwnd(), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(window_->filterMessage(onWindow));
    }
    // Enter pressed 登录 once, which asks for the account first; Escape pressed nothing.
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_EQ(prompts_.asked[0].text, text(IDS_NO_ACCOUNT));
    MSG letter{hwnd(), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_FALSE(window_->filterMessage(letter));
    // A control that asks for every key (the shortcut panel's caption editor) gets them.
    HWND editor = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, hwnd(), nullptr,
                                  nullptr, nullptr);
    SetWindowSubclass(
        editor,
        [](HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) -> LRESULT {
            return m == WM_GETDLGCODE ? DLGC_WANTALLKEYS : DefSubclassProc(h, m, w, l);
        },
        0, 0);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        MSG down{editor, WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_FALSE(window_->filterMessage(down));
    }
    DestroyWindow(editor);
    command(IDOK);
    command(IDCANCEL);
    pumpPending();
    EXPECT_TRUE(IsWindow(hwnd()));
    EXPECT_TRUE(rig_.backend->hungUp().empty()) << "Escape is not a disconnect here";
}

TEST_F(MainWindowTest, DraggedNearAScreenEdgeTheWindowSnapsToIt) {
    open();
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    const int taskbar = window_->dock().taskbarHeight(), edge = window_->dock().edgeSize();
    const RECT proposed{500, 300, 800, 1000};  // 300 wide, 700 high
    POINT cursor;
    ASSERT_TRUE(SetCursorPos(600, 10) && GetCursorPos(&cursor) && cursor.x == 600)
        << "the display does not let the cursor move";

    RECT top = drag({600, 10}, proposed);
    EXPECT_EQ(top.top, -edge);
    EXPECT_EQ(top.bottom, 700 - edge);
    EXPECT_EQ(window_->dock().side(), DockSide::Top);

    RECT bottom = drag({600, cy - taskbar - 5}, proposed);
    EXPECT_EQ(bottom.bottom, cy - taskbar);
    EXPECT_EQ(bottom.top, cy - taskbar - 700);
    EXPECT_EQ(window_->dock().side(), DockSide::Bottom);

    RECT left = drag({5, 500}, proposed);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.right, 300);
    EXPECT_EQ(window_->dock().side(), DockSide::Left);

    RECT right = drag({cx - 5, 500}, proposed);
    EXPECT_EQ(right.right, cx);
    EXPECT_EQ(right.left, cx - 300);
    EXPECT_EQ(window_->dock().side(), DockSide::Right);

    // Away from every edge the window is free again, with the height it had when docked.
    RECT free = drag({900, 500}, proposed);
    EXPECT_EQ(window_->dock().side(), DockSide::None);
    EXPECT_EQ(free.left, 500);
    RECT now;
    GetWindowRect(hwnd(), &now);
    EXPECT_EQ(free.bottom - free.top, now.bottom - now.top);
}

TEST_F(MainWindowTest, ADockedWindowSlidesOutOfSightAndBack) {
    open();
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    RECT r;
    GetWindowRect(hwnd(), &r);
    const int height = r.bottom - r.top;
    RECT top = drag({r.left + 20, 5}, r);
    SetWindowPos(hwnd(), nullptr, top.left, top.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const int frame = window_->dock().frameSize(), edge = window_->dock().edgeSize();
    auto slide = [&] {
        for (int i = 0; i < 30; ++i) SendMessageW(hwnd(), WM_TIMER, 2, 0);
        GetWindowRect(hwnd(), &r);
    };

    // The mouse touched it and left: it slides up until a strip of the frame is left.
    SendMessageW(hwnd(), WM_NCHITTEST, 0, MAKELPARAM(top.left + 10, 10));
    SetCursorPos(top.left - 50, GetSystemMetrics(SM_CYSCREEN) / 2);
    SendMessageW(hwnd(), WM_TIMER, 1, 0);
    slide();
    EXPECT_EQ(r.bottom, frame);
    EXPECT_EQ(r.bottom - r.top, height) << "the size stays";

    // Touching the strip brings it back.
    SendMessageW(hwnd(), WM_NCHITTEST, 0, MAKELPARAM(top.left + 10, 1));
    slide();
    EXPECT_EQ(r.top, -edge);
    EXPECT_EQ(r.bottom - r.top, height);
    EXPECT_TRUE(window_->dock().animationDone());
}

TEST_F(MainWindowTest, TheScheduleFiresAtItsSecondOnceAndIsRemoved) {
    open();
    rig_.config->SetShutdown(true, "2026-12-7 22:30:00", gbText(IDS_SHUTDOWN_RESTART));
    rig_.clock.set({2026, 12, 7, 22, 29, 59});
    SendMessageW(hwnd(), WM_TIMER, 4, 0);
    EXPECT_TRUE(power_.calls.empty());

    rig_.clock.set({2026, 12, 7, 22, 30, 0});
    SendMessageW(hwnd(), WM_TIMER, 4, 0);
    ASSERT_EQ(power_.calls.size(), 1u);
    EXPECT_EQ(power_.calls[0], Power::kReboot);
    std::string time, type;
    rig_.config->GetShutdown(time, type);
    EXPECT_EQ(time, "");
    EXPECT_EQ(type, "");

    SendMessageW(hwnd(), WM_TIMER, 4, 0);
    EXPECT_EQ(power_.calls.size(), 1u) << "once";
}

// The daily reconnect: at the set time a link that is up is hung up (its record closed as
// a normal disconnection) and dialled again at once; once.
TEST_F(MainWindowTest, AtTheSetTimeALinkThatIsUpIsHungUpAndDialledAgainOnce) {
    rig_.config->SetOptional("ReconnectAt", "04:00");
    open();
    typeAccount();
    command(ID_MENU_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    rig_.clock.set({2026, 12, 7, 3, 59, 59});
    SendMessageW(hwnd(), WM_TIMER, 5, 0);
    EXPECT_EQ(rig_.backend->dialled().size(), 1u);

    rig_.clock.set({2026, 12, 7, 4, 0, 0});
    SendMessageW(hwnd(), WM_TIMER, 5, 0);
    ASSERT_TRUE(pumpUntil([&] { return rig_.backend->dialled().size() == 2 && shown(true); }));
    EXPECT_EQ(rig_.backend->hungUp().size(), 1u);
    auto records = testing::readRecordItems(testing::currentRecordFile(rig_.folder));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].end, "") << "the new session is open";
    EXPECT_EQ(records[1].cause, normalCause());

    rig_.clock.set({2026, 12, 7, 4, 0, 1});
    SendMessageW(hwnd(), WM_TIMER, 5, 0);
    pumpPending();
    EXPECT_EQ(rig_.backend->dialled().size(), 2u) << "once";
    EXPECT_TRUE(prompts_.asked.empty());
}

// The month's allowance used up: one balloon, not one a minute.
TEST_F(MainWindowTest, AnAllowanceReachedIsToldOnceInABalloon) {
    rig_.config->SetOptional("AllowanceHours", "2");
    rig_.clock.set({2026, 12, 7, 12, 0, 0});
    std::filesystem::create_directories(recordFolderBeside(rig_.folder));
    std::ofstream(recordFolderBeside(rig_.folder) / "2026-12.xml", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n"
           "<ITEM user=\"demo\" start_time=\"2026-12-07 08:00:00\" end_time=\"2026-12-07 10:00:00\" "
           "ip=\"10.0.0.2\" error_code=\"\" send=\"0\" recv=\"0\"/>\r\n</record>\r\n";
    open();
    SendMessageW(hwnd(), WM_TIMER, 6, 0);
    EXPECT_EQ(window_->tray().balloonTitle(), L"本月用量提醒");
    EXPECT_EQ(window_->tray().balloonText(), L"本月套餐已用完。");
    std::string warned;
    EXPECT_TRUE(rig_.config->GetOptional("UsageWarned", warned));
    EXPECT_EQ(warned, "2026-12-01 100");
}

TEST_F(MainWindowTest, TabsShowOnePageEachWithTheirTips) {
    open();
    HWND tabs = window_->item(IDC_TABS);
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 4);
    EXPECT_TRUE(IsWindowVisible(window_->loginPage()->hwnd()) ||
                GetWindowLongPtrW(window_->loginPage()->hwnd(), GWL_STYLE) & WS_VISIBLE);
    TabCtrl_SetCurSel(tabs, 3);
    NMHDR change{tabs, IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(hwnd(), WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&change));
    int shown = 0;
    for (HWND page = GetWindow(tabs, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetWindowLongPtrW(page, GWL_STYLE) & WS_VISIBLE) ++shown;
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(GetWindowLongPtrW(window_->loginPage()->hwnd(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(window_->selectedTab(), 3);

    EXPECT_EQ(commandTip(IDS_TAB_LOGIN), L"用户登录");
    EXPECT_EQ(commandTip(IDS_TAB_CONTACT), L"宽带服务");
    EXPECT_EQ(commandTip(ID_TOOL_SETTINGS), L"客户端设置");
    EXPECT_EQ(commandTip(ID_UPDATE), L"软件升级");
}

// Without a mouse: Tab goes from the tabs through the shown page and back, the arrows turn
// the focused tabs, Ctrl+Tab (Ctrl+PageUp) turns them from anywhere, leaving no focus on a
// hidden page; Enter on the tray icon brings the window back.
TEST_F(MainWindowTest, TheKeyboardReachesTheTabsTheirPagesAndTheTray) {
    open();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    HWND tabs = window_->item(IDC_TABS);
    const LoginPage& login = *window_->loginPage();
    auto filter = [&](MSG& msg) { return window_->filterMessage(msg); };
    const testing::Snapshot unfocused = testing::snapshot(tabs);
    SetFocus(tabs);
    EXPECT_NE(testing::snapshot(tabs).pixels, unfocused.pixels) << "the focus shows on the tabs";
    EXPECT_EQ(testing::tabWalk(hwnd(), filter),
              (std::vector<HWND>{tabs, login.item(IDC_ACCOUNT), login.item(IDC_PASSWORD),
                                 login.item(IDC_REMEMBER), login.item(IDC_CONNECT),
                                 window_->toolbar()}))
        << "断开 is greyed";
    SetFocus(login.item(IDC_ACCOUNT));
    testing::pressKey(hwnd(), VK_TAB, false, true, filter);
    EXPECT_EQ(GetFocus(), tabs) << "Shift+Tab from the page's first control";
    testing::pressKey(hwnd(), VK_TAB, false, true, filter);
    EXPECT_EQ(GetFocus(), window_->toolbar()) << "Shift+Tab from the tabs";
    testing::pressKey(hwnd(), VK_TAB, false, true, filter);
    EXPECT_EQ(GetFocus(), login.item(IDC_CONNECT)) << "Shift+Tab from the toolbar";
    SetFocus(tabs);

    auto key = [&](WPARAM k, bool control = false, bool shift = false) {
        testing::pressKey(hwnd(), k, control, shift, filter);
    };
    key(VK_DOWN);
    EXPECT_EQ(window_->selectedTab(), 1);
    key(VK_RIGHT);
    key(VK_UP);
    EXPECT_EQ(window_->selectedTab(), 1);
    key(VK_LEFT);
    key(VK_LEFT);
    EXPECT_EQ(window_->selectedTab(), 0) << "the arrows stop at the first tab";

    SetFocus(login.item(IDC_PASSWORD));
    key(VK_TAB, true);
    EXPECT_EQ(window_->selectedTab(), 1);
    EXPECT_FALSE(IsChild(login.hwnd(), GetFocus())) << "the focus left the hidden page";
    EXPECT_TRUE(GetFocus() == tabs || IsChild(tabs, GetFocus()));
    key(VK_TAB, true, true);
    EXPECT_EQ(window_->selectedTab(), 0);
    key(VK_PRIOR, true);
    EXPECT_EQ(window_->selectedTab(), 3) << "round past the first";

    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(hwnd()); }));
    tray(NIN_KEYSELECT);
    pumpPending();
    EXPECT_TRUE(IsWindowVisible(hwnd())) << "Enter on the tray icon";
}

// The toolbar without a mouse: the arrows, Home and End walk its buttons that can be pressed,
// the hot one showing and heard as the focus; Enter and Space press it, and a button greyed
// under the focus hands it on. "软件升级" is in no menu: this is its only way from the keyboard.
TEST_F(MainWindowTest, TheToolbarsCommandsAreReachedAndPressedFromTheKeyboard) {
    open();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    typeAccount();
    HWND toolbar = window_->toolbar();
    auto filter = [&](MSG& msg) { return window_->filterMessage(msg); };
    auto key = [&](WPARAM k) { testing::pressKey(hwnd(), k, false, false, filter); };
    auto hot = [&] { return static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0)); };
    const testing::Snapshot unfocused = testing::snapshot(toolbar);
    SetFocus(window_->loginPage()->item(IDC_CONNECT));
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), toolbar);
    pumpPending();
    EXPECT_EQ(hot(), 0) << "登录连接";
    EXPECT_NE(testing::snapshot(toolbar).pixels, unfocused.pixels) << "the focus shows";
    EXPECT_EQ(testing::hear(toolbar).state & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);

    std::vector<int> walked{hot()};
    for (WPARAM k : {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_HOME, VK_END, VK_LEFT}) {
        key(k);
        walked.push_back(hot());
    }
    EXPECT_EQ(walked, (std::vector<int>{0, 2, 3, 3, 0, 3, 2})) << "断开连接 is greyed";

    key(VK_END);
    key(VK_RETURN);
    pumpPending();
    ASSERT_EQ(prompts_.asked.size(), 1u) << "软件升级 ran: this folder has no updater";
    EXPECT_EQ(prompts_.asked[0].text, tarnix::text(IDS_UPDATER_MISSING));

    key(VK_HOME);
    key(VK_RETURN);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); })) << "登录连接 dialled";
    EXPECT_EQ(hot(), 1) << "登录连接 greyed, the focus went on to 断开连接";
    key(VK_SPACE);
    ASSERT_TRUE(pumpUntil([&] { return shown(false); })) << "断开连接 hung up";
    EXPECT_EQ(GetFocus(), toolbar);

    key(VK_TAB);
    EXPECT_EQ(GetFocus(), window_->item(IDC_TABS)) << "Tab leaves the toolbar";
    EXPECT_EQ(hot(), -1) << "no button stays hot without the focus";
}

// A screen reader hears the icon tabs and the toolbar's buttons by their tips, with their
// states, and can use them.
TEST_F(MainWindowTest, ScreenReadersHearTheTabsAndToolbarButtonsByName) {
    open();
    using testing::hear;
    HWND tabs = window_->item(IDC_TABS);
    EXPECT_EQ(hear(tabs).role, ROLE_SYSTEM_PAGETABLIST);
    ASSERT_EQ(hear(tabs).children, 4);
    const wchar_t* tabNames[] = {L"用户登录", L"辅助功能", L"推荐服务", L"宽带服务"};
    for (long i = 1; i <= 4; ++i) {
        EXPECT_EQ(hear(tabs, i).name, tabNames[i - 1]);
        EXPECT_EQ(hear(tabs, i).role, ROLE_SYSTEM_PAGETAB);
        EXPECT_EQ((hear(tabs, i).state & STATE_SYSTEM_SELECTED) != 0, i == 1);
    }
    ComPtr<IAccessible> object = testing::accessibleOf(tabs);
    ASSERT_TRUE(object);
    VARIANT third;
    VariantInit(&third);
    third.vt = VT_I4;
    third.lVal = 3;
    EXPECT_EQ(object->accDoDefaultAction(third), S_OK);
    EXPECT_EQ(window_->selectedTab(), 2);

    HWND toolbar = window_->toolbar();
    EXPECT_EQ(hear(toolbar).role, ROLE_SYSTEM_TOOLBAR);
    ASSERT_EQ(hear(toolbar).children, 4);
    const wchar_t* tools[] = {L"登录连接", L"断开连接", L"客户端设置", L"软件升级"};
    for (long i = 1; i <= 4; ++i) {
        EXPECT_EQ(hear(toolbar, i).name, tools[i - 1]);
        EXPECT_EQ(hear(toolbar, i).role, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ((hear(toolbar, i).state & STATE_SYSTEM_UNAVAILABLE) != 0, i == 2) << "断开连接 greyed";
    }
}

TEST_F(MainWindowTest, MissingHelpIsToldAndAnUnreadableConfigurationStillOpens) {
    std::ofstream(rig_.folder / "config.xml", std::ios::binary) << "<CONFIG><Autoconnect>1<";
    rig_.config = std::make_unique<ConfigStore>(rig_.folder);
    open();
    EXPECT_EQ(TabCtrl_GetItemCount(window_->item(IDC_TABS)), 4);
    EXPECT_TRUE(rig_.backend->dialled().empty());
    ASSERT_EQ(prompts_.asked.size(), 1u) << "the damaged file is told once the window shows";
    EXPECT_TRUE(std::filesystem::exists(rig_.folder / "config.xml.damaged"));

    command(ID_HELP);
    ASSERT_EQ(prompts_.asked.size(), 2u);
    EXPECT_EQ(prompts_.asked[1].text,
              L"澄远宽带拨号客户端帮助文件没找到！请确定帮助文件是否存在！");
    EXPECT_EQ(prompts_.asked[1].icon, PromptIcon::Stop);
}

// A sleep ends the link as a disconnect does (a normal record, no redial, no abnormal end);
// the resume dials again once the network is back, and only with Autoconnect. The end of
// the Windows session during a dial gives the dial up at once.
TEST_F(MainWindowTest, SleepHangsUpTheResumeRedialsOnceTheNetworkIsBack) {
    rig_.config->SetAutoConnect(true);
    rig_.config->SetAlwaysConnect(true);
    open();
    typeAccount();
    command(ID_TOOL_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    SendMessageW(hwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    ASSERT_TRUE(pumpUntil([&] { return shown(false); }));
    rig_.backend->reachable = false;
    SendMessageW(hwnd(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    SendMessageW(hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Sleep(500);
    pumpPending();
    EXPECT_EQ(rig_.backend->dialled().size(), 1u) << "dialled without a network";
    rig_.backend->reachable = true;
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    EXPECT_EQ(rig_.backend->dialled().size(), 2u) << "one dial after the resume";
    auto items = testing::readRecordItems(testing::currentRecordFile(rig_.folder));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].cause, normalCause());

    // A sleep while not connected: nothing to dial again.
    command(ID_TOOL_DISCONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(false); }));
    SendMessageW(hwnd(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SendMessageW(hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Sleep(500);
    pumpPending();
    EXPECT_EQ(rig_.backend->dialled().size(), 2u);

    // Windows ends the session while a dial hangs on a dead line.
    rig_.backend->holdDials(true);
    command(ID_TOOL_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return rig_.backend->dialled().size() == 3; }));
    const auto asked = std::chrono::steady_clock::now();
    SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_EQ(testing::readRecordItems(testing::currentRecordFile(rig_.folder)).size(), 2u) << "nothing of the dial";
    EXPECT_EQ(rig_.access.connectionCount(), 0u);
}

// The exit hangs up first, then gives the other workers 2 s in all: an update check stalled
// on the network is left behind, never waited out, and the line is not held by it.
TEST_F(MainWindowTest, TheExitHangsUpAndLeavesAStalledUpdateCheckBehind) {
    testing::UpdateHttpServer server;
    testing::UpdateHttpServer::Answer silent;
    silent.stall = true;
    server.answer("/list.ini", silent);
    std::ofstream(rig_.folder / "UpdateConfig.ini", std::ios::binary)
        << "[Version]\r\nVersion=1.2\r\n[URL]\r\nURL=" << server.url("/list.ini") << "\r\n";
    open();
    typeAccount();
    command(ID_TOOL_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return shown(true); }));
    PostMessageW(hwnd(), WM_NETWORK_READY, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return server.requests("/list.ini") == 1; }));

    // The end of the Windows session ends the program's as the exit does, without the
    // window's own removal (which Wine without a window manager makes slow).
    const auto asked = std::chrono::steady_clock::now();
    SendMessageW(hwnd(), WM_ENDSESSION, TRUE, 0);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - asked);
    EXPECT_LT(took.count(), 2800) << "the stalled check was waited for";
    EXPECT_EQ(rig_.backend->hungUp().size(), 1u);
    EXPECT_EQ(rig_.access.connectionCount(), 0u);
    std::printf("exit with a stalled update check: %lld ms\n", static_cast<long long>(took.count()));
}

}  // namespace
}  // namespace tarnix
