// The statistics window over the fake remote-access service: its fields, the activity
// icon switching when the counters stop, the graph, and the timer stopping when the
// connections cannot be listed.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "../support/DialogDriver.h"
#include "../support/FakeClock.h"
#include "../support/FakeRemoteAccess.h"
#include "../support/PixelSnapshot.h"
#include "base/DialEntry.h"
#include "dial/LinkProbes.h"
#include "records/win/RateGraph.h"
#include "records/win/StatisticsDialog.h"
#include "records_ids.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;

class OneInterface : public InterfaceTable {
  public:
    bool read(std::vector<NetworkInterface>& out) override {
        out = {{"PPPoE", 100000000}};
        return true;
    }
};

class StatisticsWindowTest : public ::testing::Test {
  protected:
    StatisticsWindowTest()
        : folder_(fs::temp_directory_path() /
                  ("tarnix-stats-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        std::ofstream(folder_ / "2009-03.xml", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n"
               "<ITEM user=\"bob\" start_time=\"2009-03-01 08:05:09\" end_time=\"\" ip=\"\" "
               "error_code=\"\" send=\"\" recv=\"\"/>\r\n</record>\r\n";
        clock_.set({2009, 3, 1, 13, 8, 11});
    }
    ~StatisticsWindowTest() override {
        if (dialog_.hwnd()) DestroyWindow(dialog_.hwnd());
        fs::remove_all(folder_);
    }
    void tick() { SendMessageW(dialog_.hwnd(), WM_TIMER, 1, 0); }
    DialogDriver driver() { return DialogDriver(dialog_.hwnd()); }

    fs::path folder_;
    testing::FakeClock clock_;
    testing::FakeRemoteAccess access_;
    OneInterface interfaces_;
    LinkProbes link_{access_, interfaces_};
    StatisticsDialog dialog_{link_, folder_, clock_};
};

TEST_F(StatisticsWindowTest, ShowsTheLinkAndTheIconFollowsTheReceivedBytes) {
    ConnHandle link = access_.connect(kDialEntryName, "10.1.2.3");
    access_.setStatistics(link, {1234, 1000000, 0, 0});
    ASSERT_NE(dialog_.createModeless(nullptr), nullptr);
    EXPECT_EQ(driver().text(IDC_STAT_ADDRESS), L"10.1.2.3");
    EXPECT_EQ(driver().text(IDC_STAT_SPEED), L"100Mbps");
    EXPECT_EQ(driver().text(IDC_STAT_SENT), L"1,234");
    EXPECT_EQ(driver().text(IDC_STAT_RECEIVED), L"1,000,000");
    EXPECT_EQ(driver().text(IDC_STAT_CONNECTED), L"5小时3分钟2秒");
    EXPECT_EQ(dialog_.shownIcon(), IDI_ACTIVITY_RECEIVING);

    clock_.set({2009, 3, 1, 13, 8, 12});
    tick();
    EXPECT_EQ(dialog_.shownIcon(), IDI_ACTIVITY_QUIET) << "nothing arrived this second";
    EXPECT_EQ(driver().text(IDC_STAT_CONNECTED), L"5小时3分钟3秒");

    access_.setStatistics(link, {2000, 1500000, 0, 0});
    tick();
    EXPECT_EQ(dialog_.shownIcon(), IDI_ACTIVITY_RECEIVING);
    EXPECT_EQ(driver().text(IDC_STAT_RECEIVED), L"1,500,000");
    EXPECT_GE(dialog_.model().history().size(), 1u);

    // The graph paints without fault over the samples it has.
    HWND graph = driver().control(IDC_STAT_GRAPH);
    RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

TEST_F(StatisticsWindowTest, AnotherConnectionBesideTheEntryChangesNothing) {
    ConnHandle link = access_.connect(kDialEntryName, "10.1.2.3");
    access_.connect("Office VPN", "172.16.0.9");
    access_.setStatistics(link, {10, 20, 0, 0});
    ASSERT_NE(dialog_.createModeless(nullptr), nullptr);
    EXPECT_EQ(driver().text(IDC_STAT_ADDRESS), L"10.1.2.3");
    EXPECT_EQ(driver().text(IDC_STAT_RECEIVED), L"20");
    access_.setStatistics(link, {10, 5000, 0, 0});
    tick();
    EXPECT_EQ(driver().text(IDC_STAT_RECEIVED), L"5,000") << "the window keeps counting";
}

// The share of the allowance shows only for a subscriber who set one.
TEST_F(StatisticsWindowTest, TheAllowancesShareShowsOnlyWhenOneIsSet) {
    auto shownStyle = [](HWND control) {
        return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    };
    access_.connect(kDialEntryName, "10.1.2.3");
    ASSERT_NE(dialog_.createModeless(nullptr), nullptr);
    EXPECT_FALSE(shownStyle(driver().control(IDC_STAT_ALLOWANCE)));
    EXPECT_FALSE(shownStyle(driver().control(IDC_STAT_ALLOWANCE_LABEL)));

    UsageAllowance tenHours;
    tenHours.hours = 10;
    StatisticsDialog withAllowance(link_, folder_, clock_, tenHours);
    ASSERT_NE(withAllowance.createModeless(nullptr), nullptr);
    DialogDriver shown(withAllowance.hwnd());
    EXPECT_TRUE(shownStyle(shown.control(IDC_STAT_ALLOWANCE)));
    EXPECT_EQ(shown.text(IDC_STAT_ALLOWANCE), L"50%") << "08:05:09 to 13:08:11 of 10 hours";
    DestroyWindow(withAllowance.hwnd());
}

// The graph names its lines in their colours and gives its scale, samples or none; the
// lines follow the round scale, not the peak itself.
TEST(RateGraphTest, ALegendInTheLinesColoursAndARoundScale) {
    constexpr COLORREF kReceived = RGB(60, 203, 79), kSent = RGB(240, 170, 40);
    const int width = 300, height = 100;
    auto drawn = [&](const RateHistory& history) {
        return testing::snapshotOf(width, height, [&](HDC dc) {
            drawRateGraph(dc, {0, 0, width, height}, history, nullptr);
        });
    };
    auto rowsWith = [&](const testing::Snapshot& shot, COLORREF colour, int from, int to) {
        int n = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < width; ++x) n += shot.at(x, y) == colour;
        return n;
    };
    const testing::Snapshot empty = drawn(RateHistory());
    EXPECT_GT(rowsWith(empty, kReceived, 0, 16), 0) << "the legend's stroke for 接收";
    EXPECT_GT(rowsWith(empty, kSent, 0, 16), 0) << "the legend's stroke for 发送";

    // A peak of 150 KB/s on a scale of 200: the received line tops out a quarter down.
    RateHistory history;
    for (int i = 0; i < 50; ++i) history.push({150 * 1024, 0});
    const testing::Snapshot lines = drawn(history);
    EXPECT_GT(rowsWith(lines, kReceived, 24, 28), 20);
    EXPECT_EQ(rowsWith(lines, kReceived, 16, 23), 0) << "not up to the top line";
}

}  // namespace
}  // namespace tarnix
