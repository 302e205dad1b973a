// The settings dialog in-process over a config.xml of its own, the current user's Run value
// and the dial entry's WinINet proxy (both put back afterwards): what the pages show, what
// "应用", "确定" and "取消" store, the refusals of bad entries, and the main window's two
// commands that open it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "../support/Accessibility.h"
#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/FakeClock.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"
#include "../support/WindowPump.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "app/win/MainWindow.h"
#include "base/DialEntry.h"
#include "resource.h"
#include "settings/ShutdownSchedule.h"
#include "settings/win/SettingsDialog.h"
#include "update/win/UpdateSettingsPage.h"
#include "base/CodePage.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Pickers.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::driveNextDialog;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> runValue() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[1024] = L"";
    DWORD size = sizeof data - sizeof(wchar_t);
    const LONG rc = RegQueryValueExW(key, L"Tarnix", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return std::wstring(data);
}

void setRunValue(const std::optional<std::wstring>& data) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (data)
        RegSetValueExW(key, L"Tarnix", 0, REG_SZ, reinterpret_cast<const BYTE*>(data->c_str()),
                       static_cast<DWORD>((data->size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteValueW(key, L"Tarnix");
    RegCloseKey(key);
}

// With TARNIX_SHOTS set to a folder, the window as the screen shows it goes into
// FOLDER/NAME.bmp (the pictures of the README are made so).
void saveShot(HWND window, const std::string& name) {
    const char* folder = std::getenv("TARNIX_SHOTS");
    if (!folder || !*folder) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 30; ++i) {
        testing::pumpPending();
        Sleep(10);
    }
    RECT box;
    GetWindowRect(window, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, canvas);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) +
                                             size),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(fs::path(folder) / (name + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

std::wstring tabTitle(HWND tabs, int index) {
    wchar_t text[64] = L"";
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text;
    tab.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&tab));
    return text;
}

LocalTime pickerTime(HWND page, int id) {
    const SYSTEMTIME t = DateTimePicker(page, id).time().value_or(SYSTEMTIME{});
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void setPicker(HWND page, int id, const LocalTime& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.year);
    s.wMonth = static_cast<WORD>(t.month);
    s.wDay = static_cast<WORD>(t.day);
    s.wHour = static_cast<WORD>(t.hour);
    s.wMinute = static_cast<WORD>(t.minute);
    s.wSecond = static_cast<WORD>(t.second);
    DateTimePicker(page, id).setTime(s);
}

bool sameTime(const LocalTime& a, const LocalTime& b) {
    return formatTime(a) == formatTime(b);
}

class SettingsDialogTest : public ::testing::Test {
  protected:
    SettingsDialogTest()
        : folder_(fs::temp_directory_path() /
                  ("tarnix-settings-" + std::to_string(std::random_device{}()))),
          program_(folder_ / L"\u5ba2\u6237\u7aef" / "Tarnix.exe"),  // 客户端
          runBefore_(runValue()) {
        fs::create_directories(folder_);
        proxy_.query(kDialEntryName, proxyBefore_);
        setRunValue(std::nullopt);
        proxy_.clear(kDialEntryName);
    }
    ~SettingsDialogTest() override {
        setRunValue(runBefore_);
        if (proxyBefore_.enabled)
            proxy_.set(kDialEntryName, proxyBefore_.server, proxyBefore_.bypass);
        else
            proxy_.clear(kDialEntryName);
        config_.reset();
        fs::remove_all(folder_);
    }

    // A config.xml with these settings, as a user may have edited it by hand.
    void open(const std::string& settings) {
        std::ofstream(folder_ / "config.xml", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
            << settings << "</CONFIG>\r\n";
        config_.emplace(folder_);
    }
    SettingsDialog::Services services() {
        return {*config_, clock_, systemStartupRegistration(), proxy_, program_, makeUpdatePage};
    }
    // Runs the dialog; `drive` sees it and each page, and closes it.
    void run(const std::function<void(DialogDriver&, SettingsDialog&)>& drive) {
        SettingsDialog dialog(services());
        ASSERT_TRUE(driveNextDialog([&] { dialog.runModal(nullptr); },
                                    [&](DialogDriver& d) { drive(d, dialog); }));
        EXPECT_EQ(dialog.hwnd(), nullptr) << "closed";
    }
    std::string proxyServer() {
        ConnectionProxySetting now;
        proxy_.query(kDialEntryName, now);
        return now.enabled ? now.server : "(off)";
    }
    std::string setting(const char* key) {
        std::string time, type;
        config_->GetShutdown(time, type);
        if (std::string_view(key) == "SetTime") return time;
        if (std::string_view(key) == "SetType") return type;
        return "";
    }

    fs::path folder_;
    fs::path program_;
    std::optional<std::wstring> runBefore_;
    ConnectionProxy& proxy_ = systemConnectionProxy();
    ConnectionProxySetting proxyBefore_;
    testing::FakeClock clock_{{2026, 12, 7, 10, 0, 0}};
    std::optional<ConfigStore> config_;
    testing::PromptRecorder prompts_;
};

// Ctrl+Tab turns the pages; on each, Tab alone reaches every control of the page and of the
// dialog, the tabs among them.
TEST_F(SettingsDialogTest, TabAloneReachesEveryControlOfEveryPage) {
    open("");
    run([&](DialogDriver& d, SettingsDialog& dialog) {
        HWND tabs = d.control(IDC_SETTINGS_TABS);
        auto filter = [&](MSG& msg) { return dialog.filterMessage(msg); };
        const int pages = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
        for (int page = 0; page < pages; ++page) {
            SCOPED_TRACE(page);
            EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), page);
            SetFocus(tabs);
            const std::vector<HWND> walked = testing::tabWalk(d.hwnd(), filter);
            for (HWND control : testing::workingControls(d.hwnd()))
                EXPECT_TRUE(testing::reached(walked, control))
                    << "never reached: control " << GetDlgCtrlID(control);
            testing::pressKey(d.hwnd(), VK_TAB, true, false, filter);
        }
        EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0) << "round to the first page";
        d.click(IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, PagesLoadApplyOkAndCancelKeepWhatWasApplied) {
    open(
        "<StartUp>0</StartUp><Autoconnect>1</Autoconnect><Alwaysconnect>0</Alwaysconnect>"
        "<Reconnect>1</Reconnect><RedialTimegrap>120</RedialTimegrap>"
        "<RedialTrytimes>7</RedialTrytimes><ReconnectAt>4:30</ReconnectAt>"
        "<AllowanceHours>100</AllowanceHours><AllowanceStartDay>15</AllowanceStartDay>");
    config_->SetShutdown(true, "2026-12-8 6:30:00", gbText(IDS_SHUTDOWN_LOG_OFF));
    proxy_.set(kDialEntryName, "10.0.0.2:8080", "local");

    run([&](DialogDriver& d, SettingsDialog& dialog) {
        wchar_t title[32];
        GetWindowTextW(d.hwnd(), title, 32);
        EXPECT_STREQ(title, L"用户设置");
        HWND tabs = d.control(IDC_SETTINGS_TABS);
        ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
        EXPECT_EQ(tabTitle(tabs, 0), L"运行设置");
        EXPECT_EQ(tabTitle(tabs, 1), L"升级设置");
        EXPECT_EQ(tabTitle(tabs, 2), L"关机设置");
        EXPECT_EQ(tabTitle(tabs, 3), L"代理设置");
        EXPECT_EQ(tabTitle(tabs, 4), L"定时与用量");
        EXPECT_FALSE(d.enabled(IDC_SETTINGS_APPLY)) << "nothing changed yet";

        DialogDriver run(dialog.page(SettingsPageId::RunOptions).hwnd());
        EXPECT_FALSE(run.checked(IDC_RUN_STARTUP));
        EXPECT_TRUE(run.checked(IDC_RUN_AUTOCONNECT));
        EXPECT_TRUE(run.checked(IDC_RUN_RECONNECT));
        EXPECT_FALSE(run.checked(IDC_RUN_ALWAYS));
        EXPECT_EQ(ComboBox(run.hwnd(), IDC_RUN_INTERVAL).count(), 7);
        EXPECT_EQ(ComboBox(run.hwnd(), IDC_RUN_INTERVAL).selectedText(), L"2分钟");
        EXPECT_EQ(run.text(IDC_RUN_TRIES), L"7");
        EXPECT_TRUE(run.enabled(IDC_RUN_INTERVAL));

        DialogDriver shutdown(dialog.page(SettingsPageId::Shutdown).hwnd());
        EXPECT_TRUE(shutdown.checked(IDC_SHUTDOWN_ON));
        EXPECT_EQ(ComboBox(shutdown.hwnd(), IDC_SHUTDOWN_ACTION).selectedText(), L"注销");
        EXPECT_EQ(ComboBox(shutdown.hwnd(), IDC_SHUTDOWN_ACTION).at(0), L"关机");
        EXPECT_TRUE(sameTime(pickerTime(shutdown.hwnd(), IDC_SHUTDOWN_DATE), {2026, 12, 8}));
        EXPECT_TRUE(
            sameTime(pickerTime(shutdown.hwnd(), IDC_SHUTDOWN_TIME), {2026, 12, 8, 6, 30, 0}));

        DialogDriver proxy(dialog.page(SettingsPageId::Proxy).hwnd());
        EXPECT_TRUE(proxy.checked(IDC_PROXY_USE));
        EXPECT_EQ(IpAddressControl(proxy.hwnd(), IDC_PROXY_ADDRESS).address(),
                  (Ipv4Address{10, 0, 0, 2}));
        EXPECT_EQ(proxy.text(IDC_PROXY_PORT), L"8080");

        DialogDriver schedule(dialog.page(SettingsPageId::Schedule).hwnd());
        EXPECT_TRUE(schedule.checked(IDC_SCHEDULE_RECONNECT));
        auto at = DateTimePicker(schedule.hwnd(), IDC_SCHEDULE_TIME).time();
        ASSERT_TRUE(at);
        EXPECT_EQ(at->wHour * 60 + at->wMinute, 4 * 60 + 30);
        EXPECT_EQ(schedule.text(IDC_ALLOWANCE_HOURS), L"100");
        EXPECT_EQ(schedule.text(IDC_ALLOWANCE_GIGABYTES), L"");
        EXPECT_EQ(ComboBox(schedule.hwnd(), IDC_ALLOWANCE_START_DAY).selectedText(), L"15");
        EXPECT_FALSE(d.enabled(IDC_SETTINGS_APPLY)) << "loading is no change";
        // Tab goes through the controls of the page shown.
        EXPECT_EQ(GetParent(GetNextDlgTabItem(d.hwnd(), nullptr, FALSE)), run.hwnd());

        for (int tab = 0; tab < 5; ++tab) {
            d.chooseTab(IDC_SETTINGS_TABS, tab);
            saveShot(d.hwnd(), "settings-page-" + std::to_string(tab + 1));
        }

        // 应用 stores every page and disables itself.
        run.click(IDC_RUN_AUTOCONNECT);
        EXPECT_TRUE(d.enabled(IDC_SETTINGS_APPLY));
        run.click(IDC_RUN_STARTUP);
        shutdown.choose(IDC_SHUTDOWN_ACTION, 0);
        proxy.type(IDC_PROXY_PORT, L"08080");
        schedule.click(IDC_SCHEDULE_RECONNECT);
        EXPECT_FALSE(schedule.enabled(IDC_SCHEDULE_TIME));
        schedule.type(IDC_ALLOWANCE_GIGABYTES, L"300");
        ASSERT_TRUE(d.click(IDC_SETTINGS_APPLY));
        EXPECT_FALSE(d.enabled(IDC_SETTINGS_APPLY));
        EXPECT_EQ(config_->GetAutoConnect(), 0);
        EXPECT_TRUE(config_->GetStartUp());
        EXPECT_EQ(runValue(), L"\"" + program_.wstring() + L"\"");
        EXPECT_EQ(setting("SetType"), gbText(IDS_SHUTDOWN_POWER_OFF));
        EXPECT_EQ(setting("SetTime"), "2026-12-8 6:30:00");
        EXPECT_EQ(proxyServer(), "10.0.0.2:08080") << "the port as typed";
        std::string value;
        EXPECT_FALSE(config_->GetOptional("ReconnectAt", value)) << "off: no element";
        EXPECT_TRUE(config_->GetOptional("AllowanceGB", value));
        EXPECT_EQ(value, "300");

        // 取消 after 应用 keeps what was applied.
        run.click(IDC_RUN_STARTUP);
        run.click(IDC_RUN_RECONNECT);
        EXPECT_FALSE(run.enabled(IDC_RUN_INTERVAL));
        EXPECT_FALSE(run.enabled(IDC_RUN_TRIES));
        d.click(IDCANCEL);
    });
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_EQ(runValue(), L"\"" + program_.wstring() + L"\"");
    EXPECT_TRUE(config_->GetStartUp());
    EXPECT_EQ(config_->GetReconnect(), 1);

    // 确定 saves: the Run value goes, the proxy is cleared.
    run([&](DialogDriver& d, SettingsDialog& dialog) {
        DialogDriver run(dialog.page(SettingsPageId::RunOptions).hwnd());
        EXPECT_TRUE(run.checked(IDC_RUN_STARTUP));
        run.click(IDC_RUN_STARTUP);
        DialogDriver proxy(dialog.page(SettingsPageId::Proxy).hwnd());
        proxy.click(IDC_PROXY_USE);
        EXPECT_EQ(proxy.text(IDC_PROXY_PORT), L"");
        EXPECT_FALSE(proxy.enabled(IDC_PROXY_ADDRESS));
        d.click(IDOK);
    });
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_FALSE(runValue());
    EXPECT_FALSE(config_->GetStartUp());
    EXPECT_EQ(proxyServer(), "(off)");
}

TEST_F(SettingsDialogTest, BadEntriesAreRefusedInTheSaveOrderAndNothingIsStored) {
    open(
        "<StartUp>0</StartUp><Reconnect>1</Reconnect><RedialTimegrap>abc</RedialTimegrap>"
        "<RedialTrytimes>3</RedialTrytimes>");
    config_->SetShutdown(true, "2026-13-45 99:00:00", gbText(IDS_SHUTDOWN_RESTART));
    // Another program that is there holds the Run value's name.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    setRunValue(std::wstring(self));

    run([&](DialogDriver& d, SettingsDialog& dialog) {
        DialogDriver run(dialog.page(SettingsPageId::RunOptions).hwnd());
        DialogDriver shutdown(dialog.page(SettingsPageId::Shutdown).hwnd());
        DialogDriver proxy(dialog.page(SettingsPageId::Proxy).hwnd());
        // A hand-edited time that does not parse shows as now, with the box set; the
        // interval matches no entry and none is selected.
        EXPECT_TRUE(shutdown.checked(IDC_SHUTDOWN_ON));
        EXPECT_TRUE(sameTime(pickerTime(shutdown.hwnd(), IDC_SHUTDOWN_TIME), clock_.now()));
        EXPECT_EQ(ComboBox(run.hwnd(), IDC_RUN_INTERVAL).selected(), -1);

        run.click(IDC_RUN_STARTUP);
        proxy.click(IDC_PROXY_USE);
        proxy.type(IDC_PROXY_PORT, L"80");
        DialogDriver schedule(dialog.page(SettingsPageId::Schedule).hwnd());
        schedule.type(IDC_ALLOWANCE_GIGABYTES, L"1000000000000");
        ASSERT_TRUE(d.click(IDC_SETTINGS_APPLY));
        // One message from each page, in the order the pages are saved.
        ASSERT_EQ(prompts_.asked.size(), 5u);
        EXPECT_EQ(prompts_.asked[0].text, L"设置的关机时间早于当前时间！关机设置失败！");
        EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Error);
        EXPECT_EQ(prompts_.asked[1].buttons, PromptButtons::YesNo) << "replace the Run value?";
        EXPECT_EQ(prompts_.asked[2].text, text(IDS_REDIAL_NO_INTERVAL));
        EXPECT_EQ(prompts_.asked[3].text, text(IDS_ALLOWANCE_BAD_GIGABYTES));
        EXPECT_EQ(prompts_.asked[4].text, L"IP地址不能为空！");
        EXPECT_TRUE(d.enabled(IDC_SETTINGS_APPLY)) << "still something to save";
        EXPECT_FALSE(shutdown.checked(IDC_SHUTDOWN_ON));
        EXPECT_FALSE(run.checked(IDC_RUN_STARTUP)) << "the other program keeps its value";
        EXPECT_EQ(setting("SetTime"), "2026-13-45 99:00:00");
        EXPECT_EQ(config_->GetRedialIntervalText(), "abc\xc3\xeb");  // abc秒
        EXPECT_EQ(runValue(), std::wstring(self));
        EXPECT_FALSE(config_->GetStartUp());
        EXPECT_EQ(proxyServer(), "(off)");
        std::string allowance;
        EXPECT_FALSE(config_->GetOptional("AllowanceGB", allowance));
        schedule.type(IDC_ALLOWANCE_GIGABYTES, L"");

        // Ports: letters, blanks, six digits, negative, too large; then the two ends.
        IpAddressControl(proxy.hwnd(), IDC_PROXY_ADDRESS).setAddress({10, 1, 1, 1});
        run.choose(IDC_RUN_INTERVAL, 1);
        for (const wchar_t* port : {L"ab", L"  ", L"123456", L"-1", L"65536", L"8 0"}) {
            SCOPED_TRACE(wideToGb(port));
            prompts_.asked.clear();
            proxy.type(IDC_PROXY_PORT, port);
            ASSERT_TRUE(d.click(IDC_SETTINGS_APPLY));
            ASSERT_EQ(prompts_.asked.size(), 1u);
            EXPECT_EQ(prompts_.asked[0].text,
                      std::wstring(port) == L"  "
                          ? L"端口号不能为空！"
                          : L"端口号取值范围为0~65535，请输入正确的端口号！");
            EXPECT_EQ(proxyServer(), "(off)");
        }
        EXPECT_EQ(config_->GetRedialIntervalText(), "10\xc3\xeb") << "the other pages saved";
        for (const wchar_t* port : {L"0", L"65535"}) {
            prompts_.asked.clear();
            proxy.type(IDC_PROXY_PORT, port);
            ASSERT_TRUE(d.click(IDC_SETTINGS_APPLY));
            EXPECT_TRUE(prompts_.asked.empty());
            EXPECT_EQ(proxyServer(), "10.1.1.1:" + wideToGb(port));
        }

        // The current second is refused; thirty seconds on is stored, and fires then.
        shutdown.click(IDC_SHUTDOWN_ON);
        EXPECT_TRUE(shutdown.enabled(IDC_SHUTDOWN_TIME));
        setPicker(shutdown.hwnd(), IDC_SHUTDOWN_DATE, {2026, 12, 7});
        setPicker(shutdown.hwnd(), IDC_SHUTDOWN_TIME, {2026, 12, 7, 10, 0, 0});
        prompts_.asked.clear();
        d.click(IDC_SETTINGS_APPLY);
        ASSERT_EQ(prompts_.asked.size(), 1u);
        EXPECT_EQ(setting("SetTime"), "") << "removed by the saves with the box clear";
        shutdown.click(IDC_SHUTDOWN_ON);
        setPicker(shutdown.hwnd(), IDC_SHUTDOWN_TIME, {2026, 12, 7, 10, 0, 30});
        prompts_.asked.clear();
        d.click(IDOK);
        EXPECT_TRUE(prompts_.asked.empty());
    });
    EXPECT_EQ(setting("SetTime"), "2026-12-7 10:00:30");
    EXPECT_EQ(setting("SetType"), gbText(IDS_SHUTDOWN_RESTART));

    testing::RecordingPower power;
    ShutdownSchedule schedule;
    clock_.set({2026, 12, 7, 10, 0, 29});
    EXPECT_FALSE(schedule.tick(*config_, clock_, power).due);
    clock_.set({2026, 12, 7, 10, 0, 30});
    EXPECT_TRUE(schedule.tick(*config_, clock_, power).due);
    EXPECT_EQ(power.calls, std::vector<unsigned>{Power::kReboot});
    EXPECT_EQ(setting("SetTime"), "");
}

TEST(SettingsCommands, TheToolbarButtonAndTheMenuItemOpenTheDialog) {
    testing::DialRig rig{"settings"};
    testing::PromptRecorder prompts;
    testing::RecordingPower power;
    MainWindow window(
        MainWindow::Services{*rig.config, rig.connectManage.get(), rig.folder, &rig.clock, &power});
    ASSERT_NE(window.create(nullptr), nullptr);
    testing::pumpPending();
    for (int command : {ID_TOOL_SETTINGS, ID_MENU_SETTINGS}) {
        SCOPED_TRACE(command);
        bool opened = driveNextDialog(
            [&] { SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0); },
            [&](DialogDriver& d) {
                wchar_t title[32] = L"";
                GetWindowTextW(d.hwnd(), title, 32);
                EXPECT_STREQ(title, L"用户设置");
                EXPECT_EQ(GetWindow(d.hwnd(), GW_OWNER), window.hwnd()) << "modal over it";
                d.click(IDCANCEL);
            });
        EXPECT_TRUE(opened);
    }
    DestroyWindow(window.hwnd());
    testing::pumpPending();
}

}  // namespace
}  // namespace tarnix
