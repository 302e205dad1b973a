// The fault-check window in-process over machines that LinkAgent.ini describes in lab
// mode: the verdicts with their icons, the details view's lists, "停止" and closing during
// a check, bad inventories; the main window's command refused while the link is up; and
// the cable-modem address dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>

#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/PixelSnapshot.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"
#include "../support/WindowPump.h"
#include "app/win/MainWindow.h"
#include "base/DialEntry.h"
#include "diagnostics/FaultCheckTexts.h"
#include "diagnostics/win/FaultCheckDialog.h"
#include "diagnostics/win/ModemAddressDialog.h"
#include "resource.h"
#include "widgets/win/WindowDpi.h"
#include "base/CodePage.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using namespace faultcheck;
using testing::DialogDriver;
using testing::pumpUntil;
using Rows = std::vector<std::vector<std::wstring>>;

// One adapter with its table entry at `ip` and one remote-access device of type `ras`.
std::string machine(const std::string& ip, const std::string& ras) {
    return "[LinkAgent]\r\nMode=lab\r\n"
           "[LabInventory]\r\nDevices=1\r\nAdapters=2\r\nRasDevices=1\r\n"
           "[LabDevice1]\r\nDescription=Realtek RTL8139\r\nState=enabled\r\nInterface=eth0\r\n"
           "[LabAdapter1]\r\nIP=" +
           ip +
           "\r\nMAC=00-1A-2B-3C-4D-5E\r\n"
           "Description=Realtek RTL8139\r\nInterface=eth0\r\n"
           "[LabAdapter2]\r\nIP=0.0.0.0\r\nMAC=\r\nDescription=Wireless\r\nInterface=wlan0\r\n"
           "[LabRasDevice1]\r\nType=" +
           ras + "\r\nName=WAN Miniport (PPPOE)\r\n";
}

// The inventory the program's fault check reads for `folder`.
std::unique_ptr<NetworkInventory> labOrSystemInventory(const fs::path& folder) {
    return makeNetworkInventory(folder, systemProfile(), makeSystemNetworkInventory);
}

// With TARNIX_SHOTS set to a folder, the window's client area as the screen shows it goes into
// FOLDER/NAME.bmp (the pictures of the README are made so).
void saveShot(HWND window, const char* name) {
    if (!std::getenv("TARNIX_SHOTS")) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 30; ++i) {
        testing::pumpPending();
        Sleep(10);
    }
    // The client area: Wine without a window manager leaves the caption black on screen.
    RECT box;
    GetClientRect(window, &box);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    testing::saveScreenArea(box, name);
}

constexpr int kAdapterIcons[] = {IDC_FAULT_ADAPTER_NEUTRAL, IDC_FAULT_ADAPTER_GOOD,
                                 IDC_FAULT_ADAPTER_FAULT};
constexpr int kPppoeIcons[] = {IDC_FAULT_PPPOE_NEUTRAL, IDC_FAULT_PPPOE_GOOD,
                               IDC_FAULT_PPPOE_FAULT};

class FaultCheckWindow : public ::testing::Test {
  protected:
    FaultCheckWindow()
        : folder_(fs::temp_directory_path() /
                  ("tarnix-faultcheck-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(folder_);
    }
    ~FaultCheckWindow() override {
        if (dialog_ && dialog_->hwnd()) dialog_->end(IDCANCEL);
        dialog_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void describe(const std::string& ini) {
        std::ofstream(folder_ / "LinkAgent.ini", std::ios::binary) << ini;
    }
    void open(FaultCheckDialog::InventorySource source = {}) {
        if (!source) source = [folder = folder_] { return labOrSystemInventory(folder); };
        dialog_ = std::make_unique<FaultCheckDialog>(std::move(source));
        ASSERT_NE(dialog_->createModeless(nullptr), nullptr);
        driver_ = std::make_unique<DialogDriver>(dialog_->hwnd());
    }
    // "开始", and the run to its end.
    bool run() {
        if (!driver_->click(IDC_FAULT_START)) return false;
        return pumpUntil([&] { return !dialog_->form().busy(); });
    }
    // Which of a stage's three icons shows (-1: none, -2: more than one).
    int shownIcon(const int (&ids)[3]) const {
        int shown = -1;
        for (int i = 0; i < 3; ++i)
            if (driver_->visible(ids[i])) shown = shown == -1 ? i : -2;
        return shown;
    }
    std::pair<int, int> icons() const { return {shownIcon(kAdapterIcons), shownIcon(kPppoeIcons)}; }
    std::wstring verdict() const { return driver_->text(IDC_FAULT_VERDICT); }
    Rows rows(DetailList which) const {
        return DialogDriver(dialog_->page(which).hwnd()).rows(IDC_FAULT_LIST);
    }
    int barPosition() const {
        return static_cast<int>(
            SendMessageW(driver_->control(IDC_FAULT_PROGRESS), PBM_GETPOS, 0, 0));
    }

    fs::path folder_;
    testing::PromptRecorder prompts_;
    std::unique_ptr<FaultCheckDialog> dialog_;
    std::unique_ptr<DialogDriver> driver_;
};

constexpr int kNeutral = 0, kGood = 1, kFault = 2;

TEST_F(FaultCheckWindow, EachMachineGetsItsVerdictAndIconsAndTheDetailsListIt) {
    describe(machine("192.168.1.10", "pppoe"));
    open();
    EXPECT_TRUE(driver_->enabled(IDC_FAULT_START));
    EXPECT_FALSE(driver_->enabled(IDC_FAULT_STOP));
    EXPECT_FALSE(driver_->enabled(IDC_FAULT_DETAILS));
    EXPECT_FALSE(driver_->visible(IDC_FAULT_TABS));
    EXPECT_TRUE(driver_->visible(IDC_FAULT_LOCAL_GROUP));
    EXPECT_EQ(icons(), std::pair(kNeutral, kNeutral));
    EXPECT_EQ(verdict(), L"");
    EXPECT_EQ(dialog_->tabs().count(), 4);

    // Sound: both stages good.
    ASSERT_TRUE(driver_->click(IDC_FAULT_START));
    EXPECT_TRUE(driver_->enabled(IDC_FAULT_STOP)) << "while the check runs";
    EXPECT_FALSE(driver_->enabled(IDC_FAULT_START));
    ASSERT_TRUE(pumpUntil([&] { return !dialog_->form().busy(); }));
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(icons(), std::pair(kGood, kGood));
    EXPECT_EQ(barPosition(), 100);
    EXPECT_TRUE(driver_->enabled(IDC_FAULT_START));
    EXPECT_FALSE(driver_->enabled(IDC_FAULT_STOP));
    EXPECT_TRUE(driver_->enabled(IDC_FAULT_DETAILS));
    EXPECT_FALSE(driver_->checked(IDC_FAULT_DETAILS));
    saveShot(dialog_->hwnd(), "fault-check-healthy");

    // The cable out: the adapter at fault, the PPPoE driver not looked at.
    describe(machine("0.0.0.0", "pppoe"));
    ASSERT_TRUE(run());
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_UNPLUGGED));
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    saveShot(dialog_->hwnd(), "fault-check-unplugged");

    // No PPPoE device: the adapter good, the driver at fault.
    describe(machine("192.168.1.10", "modem"));
    ASSERT_TRUE(run());
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_NO_PPPOE));
    EXPECT_EQ(icons(), std::pair(kGood, kFault));
    EXPECT_TRUE(prompts_.asked.empty());
    saveShot(dialog_->hwnd(), "fault-check-no-pppoe");

    // The details view: the tabs instead of the summary, four lists in their colours.
    ASSERT_TRUE(driver_->click(IDC_FAULT_DETAILS));
    EXPECT_TRUE(driver_->visible(IDC_FAULT_TABS));
    for (int id :
         {IDC_FAULT_LOCAL_GROUP, IDC_FAULT_REMOTE_GROUP, IDC_FAULT_VERDICT, IDC_FAULT_PROGRESS,
          IDC_FAULT_RESULT_LABEL, IDC_FAULT_SERVER_LABEL, IDC_FAULT_CONNECTOR_ICON})
        EXPECT_FALSE(driver_->visible(id)) << id;
    EXPECT_EQ(icons(), std::pair(-1, -1));
    EXPECT_EQ(rows(DetailList::Drivers), (Rows{{L"1", L"Realtek RTL8139"}}));
    EXPECT_EQ(rows(DetailList::Devices), (Rows{{L"1", L"已启用", L"已插上", L"Realtek RTL8139"}}));
    EXPECT_EQ(rows(DetailList::Interfaces),
              (Rows{{L"1", L"192.168.1.10", L"00-1A-2B-3C-4D-5E", L"Realtek RTL8139"},
                    {L"2", L"0.0.0.0", L"", L"Wireless"}}));
    EXPECT_EQ(rows(DetailList::Pppoe), (Rows{{L"1", L""}}));
    for (int tab = 0; tab < 4; ++tab) {
        driver_->chooseTab(IDC_FAULT_TABS, tab);
        const DetailListPage& shown = dialog_->page(static_cast<DetailList>(tab));
        EXPECT_TRUE(IsWindowVisible(shown.hwnd())) << tab;
        HWND list = shown.list().hwnd();
        EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0), RGB(212, 243, 255));
        EXPECT_EQ(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0), RGB(212, 243, 255));
        EXPECT_EQ(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 0, 0));
        const DetailListLayout& layout = kDetailLists[static_cast<std::size_t>(tab)];
        ASSERT_EQ(shown.list().columnCount(), layout.columnCount);
        for (int c = 0; c < layout.columnCount; ++c)
            EXPECT_EQ(shown.list().columnWidth(c),
                      layout.columns[static_cast<std::size_t>(c)].width);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        wchar_t title[64] = L"";
        item.pszText = title;
        item.cchTextMax = 64;
        SendMessageW(driver_->control(IDC_FAULT_TABS), TCM_GETITEMW, tab,
                     reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::wstring(title), text(layout.tabTitle));
    }
    driver_->chooseTab(IDC_FAULT_TABS, 2);
    saveShot(dialog_->hwnd(), "fault-check-details");

    // Clearing the box checks again and shows the summary with what it found.
    describe(machine("192.168.1.10", "PPPoE"));
    ASSERT_TRUE(driver_->click(IDC_FAULT_DETAILS));
    EXPECT_FALSE(driver_->visible(IDC_FAULT_TABS));
    ASSERT_TRUE(pumpUntil([&] { return !dialog_->form().busy(); }));
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(icons(), std::pair(kGood, kGood));
    EXPECT_EQ(rows(DetailList::Pppoe), (Rows{{L"1", L"WAN Miniport (PPPOE)"}}));
    EXPECT_TRUE(dialog_->page(DetailList::Pppoe).list().isSelected(0));
}

// Holds the reader until released, to stop or close the window while it reads.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::atomic<int> entered{0};
    void pass() {
        ++entered;
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return open; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
    void close() {
        std::lock_guard<std::mutex> lock(mutex);
        open = false;
        entered = 0;
    }
};

TEST_F(FaultCheckWindow, StopAndClosingDuringACheckDropTheReadingAndBadMachinesAreListed) {
    describe(machine("192.168.1.10", "pppoe"));
    auto gate = std::make_shared<Gate>();
    open([gate, folder = folder_] {
        gate->pass();
        return labOrSystemInventory(folder);
    });
    ASSERT_TRUE(driver_->click(IDC_FAULT_START));
    ASSERT_TRUE(pumpUntil([&] { return gate->entered == 1; }));
    EXPECT_EQ(barPosition(), 50) << "half the bar, then the reading";
    ASSERT_TRUE(driver_->click(IDC_FAULT_STOP));
    EXPECT_TRUE(driver_->enabled(IDC_FAULT_START));
    EXPECT_FALSE(driver_->enabled(IDC_FAULT_STOP));
    EXPECT_EQ(barPosition(), 0);
    gate->release();
    for (int i = 0; i < 20; ++i) {
        testing::pumpPending();
        Sleep(5);
    }
    EXPECT_EQ(verdict(), L"") << "the stopped check's reading is dropped";
    EXPECT_EQ(icons(), std::pair(kNeutral, kNeutral));
    EXPECT_TRUE(prompts_.asked.empty());

    // Hundreds of devices and adapters, addresses of no and of sixteen bytes.
    std::string ini =
        "[LinkAgent]\r\nMode=lab\r\n[LabInventory]\r\nDevices=300\r\nAdapters=300\r\n"
        "RasDevices=300\r\n";
    for (int i = 1; i <= 300; ++i) {
        const std::string n = std::to_string(i);
        ini += "[LabDevice" + n + "]\r\nDescription=Card " + n +
               "\r\nState=" + (i % 7 ? "enabled" : "unknown") + "\r\nInterface=if" + n + "\r\n";
        ini += "[LabAdapter" + n + "]\r\nIP=10.0.0." + std::to_string(i % 250) +
               "\r\nMAC=" + (i % 2 ? "" : "00-11-22-33-44-55-66-77-88-99-AA-BB-CC-DD-EE-FF") +
               "\r\nDescription=Card " + n + "\r\nInterface=if" + n + "\r\n";
        ini += "[LabRasDevice" + n + "]\r\nType=modem\r\nName=Modem " + n + "\r\n";
    }
    describe(ini);
    ASSERT_TRUE(run());
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_NO_PPPOE));
    EXPECT_EQ(dialog_->page(DetailList::Devices).list().rowCount(), 300);
    const Rows interfaces = rows(DetailList::Interfaces);
    ASSERT_EQ(interfaces.size(), 300u);
    EXPECT_EQ(interfaces[0][2], L"");
    EXPECT_EQ(interfaces[1][2], L"00-11-22-33-44-55-66-77-88-99-AA-BB-CC-DD-EE-FF");
    ASSERT_EQ(prompts_.asked.size(), 1u) << "a failed status query is told once";
    EXPECT_EQ(prompts_.asked[0].text, text(IDS_FAULT_STATUS_UNKNOWN));

    // Closed while it reads: the window goes at once, the reader is waited for.
    gate->close();
    ASSERT_TRUE(driver_->click(IDC_FAULT_START));
    ASSERT_TRUE(pumpUntil([&] { return gate->entered == 1; }));
    SendMessageW(dialog_->hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(dialog_->hwnd(), nullptr);
    std::thread late([gate] {
        Sleep(100);
        gate->release();
    });
    dialog_.reset();
    late.join();
    testing::pumpPending();
}

TEST_F(FaultCheckWindow, WithoutPciDevicesTheWindowSaysSoInTheBoxAndTheResultArea) {
    open([] { return makeSystemNetworkInventory(); });
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!GetProcAddress(ntdll, "wine_get_version")) GTEST_SKIP() << "a machine with hardware";
    ASSERT_TRUE(run());
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_EQ(prompts_.asked[0].text, text(IDS_FAULT_NO_PCI_DEVICES));
    EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Error);
    EXPECT_EQ(prompts_.asked[0].owner, dialog_->hwnd());
    EXPECT_EQ(verdict(), noPciVerdict());
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    EXPECT_TRUE(rows(DetailList::Devices).empty());

    // The cable-modem dialog: detection fills in the machine's address and locks the field.
    ModemAddressDialog modem([] { return std::string("192.168.7.21"); });
    ASSERT_NE(modem.createModeless(dialog_->hwnd()), nullptr);
    DialogDriver box(modem.hwnd());
    HWND field = box.control(IDC_MODEM_ADDRESS);
    EXPECT_TRUE(box.enabled(IDC_MODEM_ADDRESS));
    ASSERT_TRUE(box.click(IDC_MODEM_AUTO));
    EXPECT_FALSE(IsWindowEnabled(field));
    DWORD address = 0;
    SendMessageW(field, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    EXPECT_EQ(address, MAKEIPADDRESS(192, 168, 7, 21));
    ASSERT_TRUE(box.click(IDC_MODEM_AUTO));
    EXPECT_TRUE(IsWindowEnabled(field));
    modem.end(IDCANCEL);
}

// Moved to a monitor of another scale, the system scales the dialog and its own controls; the
// detail pages inside its tab control follow: their lists' places and sizes and their font.
TEST_F(FaultCheckWindow, TheDetailPagesFollowAChangeOfScale) {
    open();
    HWND pageWindow = dialog_->page(DetailList::Devices).hwnd();
    ASSERT_NE(pageWindow, nullptr);
    HWND list = GetDlgItem(pageWindow, IDC_FAULT_LIST);
    auto box = [&] {
        RECT r{};
        GetWindowRect(list, &r);
        MapWindowPoints(nullptr, pageWindow, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto fontHeight = [&] {
        LOGFONTW look{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(look),
                   &look);
        return std::abs(look.lfHeight);
    };
    const RECT before = box();
    const int font = fontHeight();
    const Dpi now = dpiOf(dialog_->tabs().hwnd());
    dialog_->tabs().followDpi(Dpi(now.value() * 2));
    EXPECT_EQ(box().right - box().left, (before.right - before.left) * 2);
    EXPECT_EQ(box().top, before.top * 2);
    EXPECT_EQ(fontHeight(), font * 2);
    dialog_->tabs().followDpi(now);
    EXPECT_EQ(box().right - box().left, before.right - before.left);
    EXPECT_EQ(fontHeight(), font);
}

TEST(FaultCheckCommand, IsRefusedWhileTheLinkIsUpAndOpensTheCheckOtherwise) {
    testing::DialRig rig("faultcheck");
    testing::PromptRecorder prompts;
    testing::RecordingPower power;
    auto window = std::make_unique<MainWindow>(
        MainWindow::Services{*rig.config, rig.connectManage.get(), rig.folder, &rig.clock, &power});
    ASSERT_NE(window->create(nullptr), nullptr);
    testing::pumpPending();
    auto command = [&] {
        SendMessageW(window->hwnd(), WM_COMMAND, MAKEWPARAM(ID_FAULT_CHECK, 0), 0);
    };

    std::wstring title;
    ASSERT_TRUE(testing::driveNextDialog(command, [&](DialogDriver& driver) {
        wchar_t caption[64] = L"";
        GetWindowTextW(driver.hwnd(), caption, 64);
        title = caption;
        SendMessageW(driver.hwnd(), WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ(title, L"宽带故障检测");

    rig.access.connect(kDialEntryName);
    ASSERT_EQ(rig.connectManage->CheckNet(), 1);
    // With the link up: the notice, its caption, its text and its one button.
    prompts.asked.clear();
    ASSERT_TRUE(testing::driveNextDialog(command, [&](DialogDriver& notice) {
        wchar_t caption[64] = L"";
        GetWindowTextW(notice.hwnd(), caption, 64);
        EXPECT_STREQ(caption, L"提示");
        EXPECT_EQ(notice.text(IDC_LINK_IS_UP_TEXT), L"网络连接已建立，不能进行故障检测");
        EXPECT_EQ(notice.text(IDOK), L"确定");
        EXPECT_EQ(GetWindow(notice.hwnd(), GW_OWNER), window->hwnd());
        EXPECT_EQ(notice.control(IDCANCEL), nullptr) << "one button";
        saveShot(notice.hwnd(), "link-is-up-notice");
        notice.click(IDOK);
    }));
    EXPECT_TRUE(prompts.asked.empty());
    DestroyWindow(window->hwnd());
    window.reset();
    testing::pumpPending();
}

}  // namespace
}  // namespace tarnix
