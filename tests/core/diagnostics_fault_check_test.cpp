// The fault check's verdict, icons and detail rows over an inventory the test describes.
#include <gtest/gtest.h>

#include "diagnostics/CheckProgress.h"
#include "diagnostics/FaultCheck.h"
#include "diagnostics/FaultCheckTexts.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

using namespace faultcheck;
using testing::PromptRecorder;

class FakeInventory : public NetworkInventory {
  public:
    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override {
        out = devices;
        return devicesReadable;
    }
    bool adapters(std::vector<NetworkAdapter>& out) override {
        ++adapterReads;
        out = adapterTable;
        return adaptersReadable;
    }
    bool rasDevices(std::vector<RasDevice>& out) override {
        out = ras;
        return rasMemory;
    }

    std::vector<PciNetworkDevice> devices;
    std::vector<NetworkAdapter> adapterTable;
    std::vector<RasDevice> ras;
    bool devicesReadable = true, adaptersReadable = true, rasMemory = true;
    int adapterReads = 0;
};

const std::vector<std::uint8_t> kMac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
const RasDevice kPppoe{"pppoe", "WAN Miniport (PPPOE)"};

PciNetworkDevice device(std::string id, DeviceState state = DeviceState::Enabled) {
    return {"Card " + id, state, id};
}
NetworkAdapter adapter(std::string id, std::string ip) {
    return {std::move(ip), kMac, "Card " + id, id};
}

class FaultChecking : public ::testing::Test {
  protected:
    // One enabled device with an addressed adapter of its own.
    void sound() {
        inventory_.devices = {device("eth")};
        inventory_.adapterTable = {adapter("eth", "192.168.1.10")};
    }
    std::wstring verdict() const { return check_.diagnosis(); }
    std::pair<StageIcon, StageIcon> icons() const {
        return {check_.adapterIcon(), check_.pppoeIcon()};
    }

    PromptRecorder prompts_;
    FakeInventory inventory_;
    FaultCheck check_{inventory_};
};

constexpr auto kNeutral = StageIcon::Neutral, kGood = StageIcon::Good, kFault = StageIcon::Fault;

TEST_F(FaultChecking, ADisabledAdapterIsAFaultWithoutLookingFurther) {
    inventory_.devices = {device("eth", DeviceState::Disabled)};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_DISABLED));
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    const DetailRows& rows = check_.rows();
    EXPECT_EQ(rows.devices, (std::vector<DetailRow>{{"1", gbText(IDS_DEVICE_DISABLED),
                                                     gbText(IDS_CABLE_UNKNOWN), "Card eth"}}));
    EXPECT_EQ(rows.drivers, (std::vector<DetailRow>{{"1", "Card eth"}}));
    EXPECT_TRUE(rows.interfaces.empty());
    EXPECT_TRUE(rows.pppoe.empty());
    EXPECT_EQ(inventory_.adapterReads, 0);
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(FaultChecking, NoAddressMeansTheCableIsOut) {
    inventory_.devices = {device("eth")};
    inventory_.adapterTable = {adapter("eth", "0.0.0.0")};
    inventory_.ras = {kPppoe};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_UNPLUGGED));
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    EXPECT_EQ(check_.rows().devices[0][1], gbText(IDS_DEVICE_ENABLED));
    EXPECT_EQ(check_.rows().devices[0][2], gbText(IDS_CABLE_UNPLUGGED));
    EXPECT_EQ(check_.rows().interfaces,
              (std::vector<DetailRow>{{"1", "0.0.0.0", "00-1A-2B-3C-4D-5E", "Card eth"}}));
    EXPECT_TRUE(check_.rows().pppoe.empty()) << "the PPPoE check does not run";
}

TEST_F(FaultChecking, APppoeDeviceMakesTheMachineSound) {
    sound();
    inventory_.ras = {{"modem", "Standard Modem"},
                      {"vpn", "WAN Miniport (PPTP)"},
                      kPppoe,
                      {"pppoe", "A second one"}};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(icons(), std::pair(kGood, kGood));
    EXPECT_EQ(check_.rows().devices[0][2], gbText(IDS_CABLE_PLUGGED));
    EXPECT_EQ(check_.rows().pppoe, (std::vector<DetailRow>{{"1", "WAN Miniport (PPPOE)"}}));
}

TEST_F(FaultChecking, OnlyTheClientsAndTheSystemsOwnSpellingsArePppoe) {
    sound();
    inventory_.ras = {{"PPPOE", "Capitals"},
                      {"Pppoe", "Capital P"},
                      {"pppoe ", "Trailing blank"},
                      {"modem", "Standard Modem"}};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_NO_PPPOE));
    EXPECT_EQ(icons(), std::pair(kGood, kFault));
    EXPECT_EQ(check_.rows().pppoe, (std::vector<DetailRow>{{"1", ""}}));

    // Windows names its PPPoE devices' type "PPPoE" (RASDT_PPPoE).
    inventory_.ras.push_back({"PPPoE", "WAN Miniport (PPPOE)"});
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(check_.rows().pppoe, (std::vector<DetailRow>{{"1", "WAN Miniport (PPPOE)"}}));
}

TEST_F(FaultChecking, NoRasDevicesAtAllLeaveTheVerdictAsItWas) {
    sound();
    check_.run();
    EXPECT_EQ(verdict(), L"");
    EXPECT_EQ(icons(), std::pair(kNeutral, kNeutral));
    EXPECT_EQ(check_.rows().devices[0][2], gbText(IDS_CABLE_PLUGGED));
    EXPECT_EQ(check_.rows().pppoe, (std::vector<DetailRow>{{"1", ""}}));

    inventory_.ras = {kPppoe};
    check_.run();
    inventory_.ras.clear();
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(check_.rows().pppoe, (std::vector<DetailRow>{{"1", ""}}));
}

TEST_F(FaultChecking, TheLastDeviceDecides) {
    inventory_.adapterTable = {adapter("a", "10.0.0.2"), adapter("b", "0.0.0.0")};
    inventory_.ras = {kPppoe};

    inventory_.devices = {device("b"), device("a")};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
    EXPECT_EQ(check_.rows().devices[0][2], gbText(IDS_CABLE_UNPLUGGED));
    EXPECT_EQ(check_.rows().devices[1][2], gbText(IDS_CABLE_PLUGGED));

    inventory_.devices = {device("a"), device("b", DeviceState::Disabled)};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_DISABLED));
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    EXPECT_EQ(check_.rows().pppoe.size(), 1u) << "the first device's PPPoE row stays";
    EXPECT_EQ(inventory_.adapterReads, 2) << "the table is read once a run";
    EXPECT_EQ(check_.rows().interfaces.size(), 2u);
}

TEST_F(FaultChecking, TheCableIsJudgedByTheDevicesOwnAdapter) {
    // Ethernet is addressed; the Wi-Fi adapter last in the table is not connected.
    inventory_.devices = {device("{ETH-GUID}")};
    inventory_.adapterTable = {adapter("{eth-guid}", "192.168.1.10"), adapter("{wifi}", "0.0.0.0")};
    inventory_.ras = {kPppoe};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));

    // And the other way round.
    inventory_.adapterTable = {adapter("{eth-guid}", "0.0.0.0"), adapter("{wifi}", "10.1.1.1")};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_UNPLUGGED));

    // A device whose interface is unknown is matched by its description.
    inventory_.devices = {{"Card x", DeviceState::Enabled, ""}};
    inventory_.adapterTable = {adapter("x", "10.0.0.1"), adapter("y", "0.0.0.0")};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));
}

// A device the adapter table has no entry for still gets a verdict: the last entry judges
// its cable. Only an empty table leaves the cable unjudged.
TEST_F(FaultChecking, ADeviceWithoutAnAdapterOfItsOwnIsJudgedByTheLastEntry) {
    inventory_.ras = {kPppoe};
    inventory_.devices = {device("eth", DeviceState::Disabled)};
    check_.run();
    inventory_.devices = {device("eth"), {std::nullopt, DeviceState::Enabled, ""}};
    inventory_.adapterTable = {adapter("lan", "10.0.0.2"), adapter("wifi", "0.0.0.0")};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_UNPLUGGED));
    EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    EXPECT_EQ(check_.rows().devices,
              (std::vector<DetailRow>{
                  {"1", gbText(IDS_DEVICE_ENABLED), gbText(IDS_CABLE_UNPLUGGED), "Card eth"},
                  {"2", gbText(IDS_DEVICE_ENABLED), gbText(IDS_CABLE_UNPLUGGED), ""}}));
    EXPECT_EQ(check_.rows().drivers, (std::vector<DetailRow>{{"1", "Card eth"}}));

    inventory_.adapterTable = {adapter("wifi", "10.0.0.3")};
    check_.run();
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));

    inventory_.adapterTable.clear();
    check_.run();
    EXPECT_EQ(check_.rows().devices[1][2], "");
}

TEST_F(FaultChecking, EachFailureIsToldWithItsMessage) {
    auto expectTold = [&](unsigned id) {
        ASSERT_EQ(prompts_.asked.size(), 1u);
        EXPECT_EQ(prompts_.asked[0].text, text(id));
        EXPECT_EQ(prompts_.asked[0].caption, text(IDS_PROMPT_CAPTION));
        EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Error);
        prompts_.asked.clear();
    };
    // The device set cannot be had, or holds nothing: the lists are emptied, and the
    // result area says so as well as the message box (not the verdict of the run before).
    sound();
    inventory_.ras = {kPppoe};
    check_.run();
    for (bool readable : {false, true}) {
        inventory_.devicesReadable = readable;
        inventory_.devices.clear();
        check_.run();
        expectTold(IDS_FAULT_NO_PCI_DEVICES);
        EXPECT_TRUE(check_.rows().devices.empty());
        EXPECT_TRUE(check_.rows().interfaces.empty());
        EXPECT_EQ(verdict(), noPciVerdict());
        EXPECT_EQ(icons(), std::pair(kFault, kNeutral));
    }

    // Status queries that fail: told once a run, the devices count as enabled.
    sound();
    inventory_.devicesReadable = true;
    inventory_.devices = {device("a", DeviceState::QueryFailed),
                          device("eth", DeviceState::QueryFailed)};
    check_.run();
    expectTold(IDS_FAULT_STATUS_UNKNOWN);
    EXPECT_EQ(check_.rows().devices[1][1], gbText(IDS_DEVICE_ENABLED));
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));

    // No memory for the remote-access devices: no PPPoE row, the verdict stays.
    sound();
    inventory_.rasMemory = false;
    check_.run();
    expectTold(IDS_FAULT_NO_MEMORY);
    EXPECT_TRUE(check_.rows().pppoe.empty());
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));

    // An unreadable adapter table: no interface rows, no cable verdict, nothing told.
    inventory_.adaptersReadable = false;
    check_.run();
    EXPECT_TRUE(prompts_.asked.empty());
    EXPECT_TRUE(check_.rows().interfaces.empty());
    EXPECT_EQ(check_.rows().devices[0][2], "");
}

TEST_F(FaultChecking, HundredsOfDevicesAreListedAndTheLastDecides) {
    for (int i = 0; i < 400; ++i) {
        const std::string id = std::to_string(i);
        inventory_.devices.push_back(
            device(id, i % 3 ? DeviceState::Enabled : DeviceState::QueryFailed));
        inventory_.adapterTable.push_back(adapter(id, i % 2 ? "10.0.0.1" : "0.0.0.0"));
    }
    for (int i = 0; i < 300; ++i) inventory_.ras.push_back({"modem", "Modem " + std::to_string(i)});
    inventory_.ras.push_back(kPppoe);
    check_.run();
    EXPECT_EQ(check_.rows().devices.size(), 400u);
    EXPECT_EQ(check_.rows().devices.back()[0], "400");
    EXPECT_EQ(check_.rows().interfaces.size(), 400u);
    EXPECT_EQ(verdict(), verdictText(IDS_FAULT_HEALTHY));  // device 399 is addressed
    EXPECT_EQ(prompts_.asked.size(), 1u);
}

TEST(MacText, EachByteInUpperCaseHexJoinedByDashes) {
    EXPECT_EQ(formatMac({}), "");
    EXPECT_EQ(formatMac({0x0f}), "0F");
    EXPECT_EQ(formatMac(kMac), "00-1A-2B-3C-4D-5E");
    const std::vector<std::uint8_t> sixteen(16, 0xab);
    const std::string text = formatMac(sixteen);
    EXPECT_EQ(text.size(), 47u);
    EXPECT_TRUE(text.starts_with("AB-AB-") && text.ends_with("-AB"));
}

TEST(CheckProgressRun, HalfTheBarThenTheCheckThenTheRestThenTheEnd) {
    CheckProgress progress;
    EXPECT_TRUE(progress.startEnabled());
    EXPECT_FALSE(progress.stopEnabled());
    EXPECT_FALSE(progress.detailsEnabled());
    EXPECT_EQ(progress.next(), CheckProgress::Step::Idle);

    progress.start();
    std::vector<int> positions;
    int checks = 0, checkedAt = -1;
    for (;;) {
        const CheckProgress::Step step = progress.next();
        if (step == CheckProgress::Step::Finish) break;
        ASSERT_NE(step, CheckProgress::Step::Idle);
        EXPECT_TRUE(progress.stopEnabled());
        EXPECT_FALSE(progress.startEnabled());
        if (step == CheckProgress::Step::Check) {
            ++checks;
            checkedAt = positions.back();
            progress.start();  // ignored while running
        } else {
            positions.push_back(progress.position());
        }
    }
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(checkedAt, 50);
    ASSERT_EQ(positions.size(), 101u);
    for (int i = 0; i <= 100; ++i) EXPECT_EQ(positions[i], i);
    EXPECT_TRUE(progress.startEnabled());
    EXPECT_FALSE(progress.stopEnabled());
    EXPECT_TRUE(progress.detailsEnabled());
    EXPECT_EQ(progress.next(), CheckProgress::Step::Idle);

    progress.start();
    EXPECT_EQ(progress.next(), CheckProgress::Step::Position);
    EXPECT_EQ(progress.position(), 0);
}

}  // namespace
}  // namespace tarnix
