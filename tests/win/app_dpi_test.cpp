// The windows at any scale. At the test's own DPI: the main window follows a monitor of
// another scale while a modal dialog is open, and comes back onto a monitor that is left when
// its own is gone. Then every DPI from 72 to 288, each in a run of this program under that DPI
// (Wine reads LogPixels as a process starts): the main window scales and stands wholly on
// small screens, and no window clips a control's text.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/PixelSnapshot.h"
#include "../support/RecordingPower.h"
#include "../support/WinProcess.h"
#include "../support/WindowPump.h"
#include "app/win/MainWindow.h"
#include "base/CodePage.h"
#include "resource.h"
#include "settings_ids.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

using testing::DialogDriver;
using testing::driveNextDialog;
using testing::pumpPending;

Rect rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class Main {
  public:
    explicit Main(MainWindowFit::WorkArea workArea = {}) {
        MainWindow::Services services{*rig_.config, rig_.connectManage.get(), rig_.folder,
                                      &rig_.clock, &power_};
        services.workArea = std::move(workArea);
        window_ = std::make_unique<MainWindow>(std::move(services));
        window_->create(nullptr);
        ShowWindow(window_->hwnd(), SW_SHOWNOACTIVATE);
        pumpPending();
    }
    ~Main() {
        if (window_->hwnd()) DestroyWindow(window_->hwnd());
        window_.reset();
        pumpPending();
    }
    MainWindow& operator*() { return *window_; }
    MainWindow* operator->() { return window_.get(); }
    HWND hwnd() const { return window_->hwnd(); }
    // What must always show: the toolbar, the tabs and every line below them.
    bool wholeOn(const Rect& work) const {
        if (!inside(rectOf(hwnd()), work)) return false;
        Rect client{};
        GetClientRect(hwnd(), reinterpret_cast<RECT*>(&client));
        MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        for (int id : {IDC_TABS, IDC_IP_VALUE, IDC_STATUS_LINE})
            if (!inside(rectOf(GetDlgItem(hwnd(), id)), client)) return false;
        return inside(rectOf(window_->toolbar()), client);
    }

  private:
    testing::DialRig rig_{"dpi"};
    testing::RecordingPower power_;
    std::unique_ptr<MainWindow> window_;
};

// A window left on a monitor that has gone comes back onto the one there is, whole; a change
// of DPI while a modal dialog is open re-lays the window behind it, its pages' controls and
// their fonts too, and the dialog stays.
TEST(MainWindowWorkArea, ComesBackOnScreenAndFollowsAMonitorOfAnotherScale) {
    Main main;
    const Rect work = [&] {
        MONITORINFO info{sizeof(info)};
        GetMonitorInfoW(MonitorFromWindow(main.hwnd(), MONITOR_DEFAULTTONEAREST), &info);
        return Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    }();
    SetWindowPos(main.hwnd(), nullptr, -30000, -30000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(main.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    pumpPending();
    SendMessageW(main.hwnd(), WM_TRAY_NOTIFY, IDI_TRAY_OFFLINE, WM_LBUTTONDBLCLK);
    pumpPending();
    EXPECT_TRUE(main.wholeOn(work));

    const Dpi now = dpiOf(main.hwnd());
    const Rect before = rectOf(main.hwnd());
    auto clientWidth = [&] {
        RECT client{};
        GetClientRect(main.hwnd(), &client);
        return static_cast<int>(client.right);
    };
    const int width = clientWidth();
    auto tell = [&](Dpi dpi) {
        RECT suggested{before.left, before.top,
                       before.left + MulDiv(before.width(), dpi.value(), now.value()),
                       before.top + MulDiv(before.height(), dpi.value(), now.value())};
        SendMessageW(main.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi.value(), dpi.value()),
                     reinterpret_cast<LPARAM>(&suggested));
    };
    auto imageWidth = [&] {
        int width = 0, height = 0;
        ImageList_GetIconSize(
            reinterpret_cast<HIMAGELIST>(SendMessageW(main->toolbar(), TB_GETIMAGELIST, 0, 0)),
            &width, &height);
        return width;
    };
    const int image = imageWidth();
    // The login page's controls and the connection lines, which no dialog manager scales
    // inside this window: their places and their font's height.
    HWND account = GetDlgItem(main->loginPage()->hwnd(), IDC_ACCOUNT);
    HWND line = GetDlgItem(main.hwnd(), IDC_STATE_VALUE);
    auto fontHeight = [](HWND control) {
        LOGFONTW look{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                   sizeof(look), &look);
        return std::abs(look.lfHeight);
    };
    auto dropped = [&] {
        RECT list{};
        SendMessageW(account, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        return static_cast<int>(list.bottom - list.top);
    };
    const Rect field = rectOf(account);
    const int list = dropped();
    const int pageLeft = rectOf(main->loginPage()->hwnd()).left;
    const int font = fontHeight(account);
    bool shown = driveNextDialog(
        [&] { SendMessageW(main.hwnd(), WM_COMMAND, MAKEWPARAM(ID_MENU_ABOUT, 0), 0); },
        [&](DialogDriver& about) {
            tell(Dpi(now.value() * 2));
            EXPECT_TRUE(IsWindow(about.hwnd()));
            EXPECT_EQ(GetWindow(about.hwnd(), GW_OWNER), main.hwnd());
            EXPECT_EQ(imageWidth(), image * 2) << "the toolbar's art at twice the scale";
            EXPECT_EQ(clientWidth(), width * 2);
            EXPECT_TRUE(main.wholeOn(work)) << "given up height to stay on the screen";
            EXPECT_NEAR(rectOf(account).width(), field.width() * 2, 1);
            EXPECT_NEAR(rectOf(account).left - rectOf(main->loginPage()->hwnd()).left,
                        (field.left - pageLeft) * 2, 1);
            EXPECT_EQ(fontHeight(account), font * 2);
            // (Wine counts a combo box resized by hand without its field.)
            EXPECT_GE(dropped(), list * 2 - rectOf(account).height())
                << "the account list drops down as far";
            EXPECT_EQ(fontHeight(line), font * 2);
            SendMessageW(about.hwnd(), WM_COMMAND, IDOK, 0);
        });
    EXPECT_TRUE(shown);
    tell(now);
    EXPECT_EQ(imageWidth(), image);
    EXPECT_EQ(clientWidth(), width);
    EXPECT_EQ(rectOf(account).width(), field.width());
    EXPECT_GE(dropped(), list - 2 * rectOf(account).height());
    EXPECT_EQ(fontHeight(account), font);
    EXPECT_EQ(fontHeight(line), font);
    EXPECT_TRUE(main.wholeOn(work));
}

// ---- Every DPI, each in a run of its own ----

int dpiOfThisRun() {
    const char* value = std::getenv("TARNIX_TEST_DPI");
    return value ? std::atoi(value) : 0;
}

template <class Visit>
void forEachDescendant(HWND window, Visit& visit) {
    EnumChildWindows(
        window,
        [](HWND child, LPARAM p) {
            (*reinterpret_cast<Visit*>(p))(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

// The texts of `window`'s labels, buttons, check boxes and group boxes that do not fit their
// control in its own font: "id: text" for each.
std::vector<std::wstring> clippedTexts(HWND window) {
    std::vector<std::wstring> clipped;
    auto check = [&](HWND control) {
        if (!IsWindowVisible(control)) return;
        wchar_t className[32] = L"";
        GetClassNameW(control, className, 32);
        const bool isStatic = lstrcmpiW(className, L"Static") == 0;
        if (!isStatic && lstrcmpiW(className, L"Button") != 0) return;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        if (text.empty()) return;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        RECT room{};
        GetClientRect(control, &room);
        UINT format = DT_CALCRECT | DT_EXPANDTABS;
        if (isStatic) {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT &&
                type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
                return;                           // pictures, frames
            if (style & SS_ELLIPSISMASK) return;  // made to shorten its text
            if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
            format |= type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE ? DT_SINGLELINE : DT_WORDBREAK;
        } else {
            const LONG type = style & BS_TYPEMASK;
            const int box = metricAt(SM_CXMENUCHECK, dpiOf(control)) + 4;
            if (type == BS_GROUPBOX) {
                room.right -= 2 * box;
            } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                       type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
                room.right -= box;
            } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW) {
                room.right -= 4;
            } else {
                return;
            }
            format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        }
        HDC dc = GetDC(control);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
        RECT need{0, 0, room.right, 0};
        DrawTextW(dc, text.c_str(), -1, &need, format);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (need.right > room.right || need.bottom > room.bottom)
            clipped.push_back(std::to_wstring(GetDlgCtrlID(control)) + L": " + text);
    };
    forEachDescendant(window, check);
    return clipped;
}

bool isDialog(HWND window) {
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    return lstrcmpW(className, L"#32770") == 0;
}

// The visible controls of `window`'s dialogs and pages, and the pages themselves, that stand
// partly outside their parent's client area, which cuts them off: "id: text" for each. (The
// parts of a common control are its own.)
std::vector<std::wstring> cutOffControls(HWND window) {
    std::vector<std::wstring> cut;
    auto check = [&](HWND control) {
        HWND parent = GetParent(control);
        if (!IsWindowVisible(control) || !(isDialog(parent) || isDialog(control))) return;
        RECT room{};
        GetClientRect(parent, &room);
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&room), 2);
        if (inside(rectOf(control), {room.left, room.top, room.right, room.bottom})) return;
        wchar_t text[64] = L"";
        GetWindowTextW(control, text, 64);
        cut.push_back(std::to_wstring(GetDlgCtrlID(control)) + L": " + text);
    };
    forEachDescendant(window, check);
    return cut;
}

// The client area of `window` into TARNIX_SHOTS as NAME-DPI.bmp, when asked for.
void shoot(HWND window, const std::string& name) {
    if (!std::getenv("TARNIX_SHOTS")) return;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 20; ++i) {
        pumpPending();
        Sleep(10);
    }
    RECT box;
    GetClientRect(window, &box);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    testing::saveScreenArea(box, (name + "-" + std::to_string(dpiOfThisRun())).c_str());
}

void expectWhole(HWND window, const std::string& name) {
    for (const std::wstring& text : clippedTexts(window))
        ADD_FAILURE() << name << " clips " << gbToUtf8(wideToGb(text));
    for (const std::wstring& control : cutOffControls(window))
        ADD_FAILURE() << name << " cuts off " << gbToUtf8(wideToGb(control));
    shoot(window, name);
}

// Every page of a tab control of `dialog`, each checked as it shows.
void expectEveryPageWhole(HWND dialog, int tabs, const std::string& name) {
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        DialogDriver(dialog).chooseTab(tabs, i);
        pumpPending();
        expectWhole(dialog, name + "-" + std::to_string(i + 1));
    }
    DialogDriver(dialog).chooseTab(tabs, 0);
}

// The check itself: a label too narrow or too low for its text, a check box whose text runs
// under its edge; and the same controls with room.
TEST(ClippedTexts, AreFoundInLabelsAndCheckBoxes) {
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    auto add = [&](const wchar_t* type, DWORD style, int id, int width, int height) {
        HWND control =
            CreateWindowExW(0, type, L"当前状态：网络未连接", WS_CHILD | WS_VISIBLE | style, 0,
                            50 * (id % 4), width, height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    };
    add(L"Static", SS_LEFT, 1, 40, 30);
    add(L"Static", SS_LEFT, 2, 300, 3);
    add(L"Button", BS_AUTOCHECKBOX, 3, 60, 30);
    add(L"Static", SS_LEFT, 4, 300, 30);
    add(L"Button", BS_AUTOCHECKBOX, 5, 300, 30);
    const std::vector<std::wstring> clipped = clippedTexts(parent);
    DestroyWindow(parent);
    ASSERT_EQ(clipped.size(), 3u);
    EXPECT_EQ(clipped[0].substr(0, 2), L"1:");
    EXPECT_EQ(clipped[1].substr(0, 2), L"2:");
    EXPECT_EQ(clipped[2].substr(0, 2), L"3:");
}

// After the main window moved to a monitor of twice the scale (as Windows tells it: both
// DPIs in wParam, the suggested rectangle in lParam), the modal dialogs it opens take their
// monitor's scale, not the main window's geometry: whole and on the screen.
TEST(MainWindowWorkArea, DialogsOpenedAfterAChangeOfScaleAreWholeAndOnScreen) {
    Main main;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(main.hwnd(), MONITOR_DEFAULTTONEAREST), &info);
    const Rect work{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    const Dpi now = dpiOf(main.hwnd()), twice(now.value() * 2);
    const Rect before = rectOf(main.hwnd());
    RECT suggested{before.left, before.top, before.left + before.width() * 2,
                   before.top + before.height() * 2};
    SendMessageW(main.hwnd(), WM_DPICHANGED, MAKEWPARAM(twice.value(), twice.value()),
                 reinterpret_cast<LPARAM>(&suggested));
    for (int command : {ID_RECORD_QUERY, ID_FAULT_CHECK, ID_MENU_SETTINGS}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(driveNextDialog(
            [&] { SendMessageW(main.hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0); },
            [&](DialogDriver& dialog) {
                EXPECT_TRUE(inside(rectOf(dialog.hwnd()), work));
                expectWhole(dialog.hwnd(), "after-change");
                SendMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
            }));
    }
}

// Run by DpiWalk under each DPI; skipped in a run of its own.
TEST(DpiOfThisRun, TheMainWindowScalesAndNoWindowClipsItsTexts) {
    if (!dpiOfThisRun()) GTEST_SKIP() << "run by DpiWalk";
    RECT screen{0, 0, 4000, 4000};
    Main main([&](HWND) { return screen; });
    ASSERT_EQ(dpiOf(main.hwnd()).value(), dpiOfThisRun());
    if (const char* report = std::getenv("TARNIX_DPI_REPORT"))
        std::ofstream(report) << rectOf(main.hwnd()).width() << '\n';
    expectEveryPageWhole(main.hwnd(), IDC_TABS, "main");

    // 1366 x 768 up to 125 %, 1280 x 800 up to 150 %, 1920 x 1080 up to 200 %, each less a
    // taskbar of 40 pixels: the window gives up page height and nothing else.
    const int full = rectOf(main.hwnd()).height();
    for (auto [width, height, most] : {std::tuple{1366, 728, 120}, std::tuple{1280, 800, 144},
                                       std::tuple{1920, 1040, 192}, std::tuple{4000, 4000, 288}}) {
        if (dpiOfThisRun() > most) continue;
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        screen = {0, 0, width, height};
        SendMessageW(main.hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height));
        pumpPending();
        EXPECT_TRUE(main.wholeOn({0, 0, width, height}));
        EXPECT_EQ(rectOf(main.hwnd()).height(), std::min(full, height));
        expectWhole(main.hwnd(), "main-" + std::to_string(width) + "x" + std::to_string(height));
    }

    struct Opened {
        int command;
        const char* name;
        int tabs;  // 0: none
    };
    for (Opened window :
         {Opened{ID_RECORD_QUERY, "record-query", 0}, Opened{ID_FAULT_CHECK, "fault-check", 0},
          Opened{ID_MENU_SETTINGS, "settings", IDC_SETTINGS_TABS}}) {
        SCOPED_TRACE(window.name);
        EXPECT_TRUE(driveNextDialog(
            [&] { SendMessageW(main.hwnd(), WM_COMMAND, MAKEWPARAM(window.command, 0), 0); },
            [&](DialogDriver& dialog) {
                if (window.tabs)
                    expectEveryPageWhole(dialog.hwnd(), window.tabs, window.name);
                else
                    expectWhole(dialog.hwnd(), window.name);
                SendMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
            }));
    }
}

// Sets Wine's DPI for the processes started after it, and puts the old values back.
class LogPixels {
  public:
    LogPixels() {
        for (Key& key : keys_) {
            DWORD size = sizeof(key.old);
            key.had = RegGetValueW(key.root, key.path, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                                   &key.old, &size) == ERROR_SUCCESS;
        }
    }
    ~LogPixels() {
        for (Key& key : keys_) {
            if (key.had)
                set(key, key.old);
            else
                RegDeleteKeyValueW(key.root, key.path, L"LogPixels");
        }
    }
    void set(DWORD dpi) {
        for (Key& key : keys_) set(key, dpi);
    }

  private:
    struct Key {
        HKEY root;
        const wchar_t* path;
        DWORD old = 0;
        bool had = false;
    };
    static void set(Key& key, DWORD dpi) {
        RegSetKeyValueW(key.root, key.path, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    Key keys_[2] = {{HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
                    {HKEY_LOCAL_MACHINE,
                     L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}};
};

TEST(DpiWalk, EveryWindowIsWholeFrom72To288Dpi) {
    if (dpiOfThisRun()) GTEST_SKIP() << "already one DPI's run";
    testing::TempFolder folder(L"dpi");
    const std::filesystem::path report = folder.path() / "width.txt";
    SetEnvironmentVariableW(L"TARNIX_DPI_REPORT", report.c_str());
    std::map<int, int> widths;
    {
        LogPixels logPixels;
        for (int dpi : {96, 72, 120, 144, 192, 288}) {
            SCOPED_TRACE(::testing::Message() << dpi << " DPI");
            logPixels.set(static_cast<DWORD>(dpi));
            SetEnvironmentVariableW(L"TARNIX_TEST_DPI", std::to_wstring(dpi).c_str());
            testing::ChildProcess run(testing::testProgramFolder() / "win_tests.exe",
                                      L"--gtest_filter=DpiOfThisRun.*");
            ASSERT_TRUE(run.started());
            ASSERT_TRUE(run.waitExit(60000));
            EXPECT_EQ(run.exitCode(), 0u) << "see the run's output above";
            std::ifstream(report) >> widths[dpi];
        }
    }
    SetEnvironmentVariableW(L"TARNIX_TEST_DPI", nullptr);
    SetEnvironmentVariableW(L"TARNIX_DPI_REPORT", nullptr);
    ASSERT_GT(widths[96], 0);
    for (auto [dpi, ratio] : {std::pair{144, 1.5}, std::pair{192, 2.0}})
        EXPECT_NEAR(static_cast<double>(widths[dpi]) / widths[96], ratio, 0.02) << dpi << " DPI";
}

}  // namespace
}  // namespace tarnix
