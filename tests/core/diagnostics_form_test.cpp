// The fault-check window's run without the window: the bar, the reading handed back, a
// reading that comes late, "停止", the details box; and the snapshot the reading makes.
#include <gtest/gtest.h>

#include "diagnostics/FaultCheckForm.h"
#include "diagnostics/FaultCheckTexts.h"
#include "diagnostics/LocalAddress.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

using namespace faultcheck;
using Next = FaultCheckForm::Next;

// An inventory with one device, its adapter and, when `pppoe`, a PPPoE device; counts the
// queries.
class Machine : public NetworkInventory {
  public:
    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override {
        ++asked;
        out = {{"Card", DeviceState::Enabled, "eth"}};
        return listed;
    }
    bool adapters(std::vector<NetworkAdapter>& out) override {
        ++asked;
        out = {{ip, {1, 2, 3, 4, 5, 6}, "Card", "eth"}};
        return true;
    }
    bool rasDevices(std::vector<RasDevice>& out) override {
        ++asked;
        out = {{"pppoe", "WAN Miniport (PPPOE)"}};
        return true;
    }
    std::string ip = "10.0.0.2";
    bool listed = true;
    int asked = 0;
};

class CheckForm : public ::testing::Test {
  protected:
    // Ticks until the form asks for a reading or ends; the ticks taken.
    int tickUntil(Next wanted) {
        for (int ticks = 1; ticks < 1000; ++ticks)
            if (form_.tick() == wanted) return ticks;
        ADD_FAILURE() << "never came";
        return -1;
    }
    InventorySnapshot reading() { return InventorySnapshot::take(machine_); }

    testing::PromptRecorder prompts_;
    Machine machine_;
    FaultCheckForm form_;
};

TEST_F(CheckForm, ARunFillsHalfTheBarWaitsForTheReadingThenFinishesInTheSummary) {
    EXPECT_TRUE(form_.startEnabled());
    EXPECT_FALSE(form_.stopEnabled());
    EXPECT_FALSE(form_.detailsEnabled());
    EXPECT_EQ(form_.tick(), Next::Idle);

    ASSERT_TRUE(form_.start());
    EXPECT_FALSE(form_.start()) << "one run at a time";
    EXPECT_FALSE(form_.startEnabled());
    EXPECT_TRUE(form_.stopEnabled());
    EXPECT_EQ(tickUntil(Next::Read), 11);  // 0..50, five a tick
    EXPECT_EQ(form_.position(), 50);
    // The bar waits as long as the reading takes.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(form_.tick(), Next::Moved);
    EXPECT_EQ(form_.position(), 50);

    ASSERT_TRUE(form_.arrive(form_.readingNumber(), reading(), nullptr));
    EXPECT_EQ(form_.check().diagnosis(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_TRUE(form_.busy()) << "the bar still has its second half to go";
    tickUntil(Next::Finished);
    EXPECT_EQ(form_.position(), 100);
    EXPECT_FALSE(form_.busy());
    EXPECT_TRUE(form_.detailsEnabled());
    EXPECT_FALSE(form_.detailsView());
    EXPECT_EQ(machine_.asked, 3) << "one reading a run: its messages are told once";
    EXPECT_EQ(form_.tick(), Next::Idle);
}

TEST_F(CheckForm, ReadingsThatComeLateOrUnaskedAreDropped) {
    EXPECT_FALSE(form_.arrive(form_.readingNumber(), reading(), nullptr)) << "none asked for";

    form_.start();
    tickUntil(Next::Read);
    const unsigned first = form_.readingNumber();
    form_.stop();
    EXPECT_FALSE(form_.busy());
    EXPECT_EQ(form_.position(), 0);
    EXPECT_FALSE(form_.detailsEnabled()) << "no run has finished";
    EXPECT_FALSE(form_.arrive(first, reading(), nullptr));
    EXPECT_EQ(form_.check().diagnosis(), L"");

    // A new run does not take the old run's reading.
    form_.start();
    tickUntil(Next::Read);
    EXPECT_NE(form_.readingNumber(), first);
    EXPECT_FALSE(form_.arrive(first, reading(), nullptr));
    machine_.ip = "0.0.0.0";
    EXPECT_TRUE(form_.arrive(form_.readingNumber(), reading(), nullptr));
    EXPECT_FALSE(form_.arrive(form_.readingNumber(), reading(), nullptr)) << "taken once";
    EXPECT_EQ(form_.check().diagnosis(), verdictText(IDS_FAULT_UNPLUGGED));

    // Stopped after the reading: the verdict found stays, the run does not finish.
    form_.stop();
    EXPECT_EQ(form_.tick(), Next::Idle);
    EXPECT_EQ(form_.check().diagnosis(), verdictText(IDS_FAULT_UNPLUGGED));
}

TEST_F(CheckForm, TheDetailsBoxShowsTheListsAndClearingItChecksAgain) {
    form_.showDetails();
    EXPECT_FALSE(form_.detailsView()) << "not before a run has finished";
    form_.start();
    tickUntil(Next::Read);
    form_.arrive(form_.readingNumber(), reading(), nullptr);
    tickUntil(Next::Finished);

    form_.showDetails();
    EXPECT_TRUE(form_.detailsView());
    machine_.ip = "0.0.0.0";
    ASSERT_TRUE(form_.refresh());
    EXPECT_FALSE(form_.detailsView());
    EXPECT_TRUE(form_.stopEnabled());
    EXPECT_FALSE(form_.startEnabled());
    EXPECT_FALSE(form_.detailsEnabled());
    EXPECT_FALSE(form_.refresh()) << "one check at a time";
    EXPECT_FALSE(form_.start());
    EXPECT_EQ(form_.tick(), Next::Idle) << "no bar";
    ASSERT_TRUE(form_.arrive(form_.readingNumber(), reading(), nullptr));
    EXPECT_EQ(form_.check().diagnosis(), verdictText(IDS_FAULT_UNPLUGGED));
    EXPECT_EQ(form_.check().rows().devices[0][2], gbText(IDS_CABLE_UNPLUGGED));
    EXPECT_TRUE(form_.detailsEnabled());
    EXPECT_TRUE(form_.startEnabled());

    // "停止" during that check: nothing changes when the reading comes.
    form_.showDetails();
    ASSERT_TRUE(form_.refresh());
    const unsigned number = form_.readingNumber();
    form_.stop();
    machine_.ip = "10.0.0.3";
    EXPECT_FALSE(form_.arrive(number, reading(), nullptr));
    EXPECT_EQ(form_.check().diagnosis(), verdictText(IDS_FAULT_UNPLUGGED));
    EXPECT_TRUE(form_.detailsEnabled()) << "a run has finished before";
}

TEST_F(CheckForm, TheCheckTellsItsMessagesWhileTheRunWaits) {
    machine_.listed = false;
    form_.start();
    tickUntil(Next::Read);
    form_.arrive(form_.readingNumber(), reading(), nullptr);
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_EQ(prompts_.asked[0].text, text(IDS_FAULT_NO_PCI_DEVICES));
    tickUntil(Next::Finished);
    EXPECT_EQ(prompts_.asked.size(), 1u) << "told once a run";
    EXPECT_EQ(form_.check().diagnosis().rfind(noPciVerdict(), 0), 0u)
        << "the result area tells it too";
}

TEST(InventorySnapshotReading, KeepsEachAnswerAndDropsWhatAFailedQueryLeft) {
    class HalfFailing : public NetworkInventory {
      public:
        bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override {
            out.resize(3);
            return false;
        }
        bool adapters(std::vector<NetworkAdapter>& out) override {
            out.resize(2);
            out[1].mac.assign(16, 0xab);
            return true;
        }
        bool rasDevices(std::vector<RasDevice>& out) override {
            out.resize(1);
            return false;
        }
    } failing;
    InventorySnapshot snapshot = InventorySnapshot::take(failing);
    std::vector<PciNetworkDevice> devices(5);
    std::vector<NetworkAdapter> adapters;
    std::vector<RasDevice> ras(2);
    for (int twice = 0; twice < 2; ++twice) {
        EXPECT_FALSE(snapshot.pciNetworkDevices(devices));
        EXPECT_TRUE(devices.empty());
        EXPECT_TRUE(snapshot.adapters(adapters));
        ASSERT_EQ(adapters.size(), 2u);
        EXPECT_EQ(adapters[1].mac.size(), 16u);
        EXPECT_FALSE(snapshot.rasDevices(ras));
        EXPECT_TRUE(ras.empty());
    }
    InventorySnapshot nothing;
    EXPECT_TRUE(nothing.pciNetworkDevices(devices));
    EXPECT_TRUE(devices.empty());
}

TEST(DottedAddress, FourBytesOrNothing) {
    using Bytes = std::array<std::uint8_t, 4>;
    EXPECT_EQ(parseDottedAddress("192.168.1.10"), (Bytes{192, 168, 1, 10}));
    EXPECT_EQ(parseDottedAddress("0.0.0.0"), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(parseDottedAddress("255.255.255.255"), (Bytes{255, 255, 255, 255}));
    for (const char* bad :
         {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.0004", "a.b.c.d",
          " 1.2.3.4", "1.2.3.4 ", "-1.2.3.4", "99999999999.1.1.1"}) {
        EXPECT_FALSE(parseDottedAddress(bad)) << bad;
    }
}

}  // namespace
}  // namespace tarnix
