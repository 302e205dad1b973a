// The inventory LinkAgent.ini describes in lab mode, read through the platform's profile
// functions, and the fault check's verdicts over it.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "diagnostics/FaultCheck.h"
#include "diagnostics/FaultCheckTexts.h"
#include "diagnostics/LabInventory.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

const std::string kSoundMachine =
    "[LinkAgent]\r\nMode=lab\r\n"
    "[LabInventory]\r\nDevices=1\r\nAdapters=2\r\nRasDevices=2\r\n"
    "[LabDevice1]\r\nDescription=Realtek RTL8139\r\nState=enabled\r\nInterface=eth0\r\n"
    "[LabAdapter1]\r\nIP=192.168.1.10\r\nMAC=00-1a-2B-3C-4D-5E\r\nDescription=Realtek "
    "RTL8139\r\nInterface=eth0\r\n"
    "[LabAdapter2]\r\nIP=0.0.0.0\r\nMAC=\r\nDescription=Wireless\r\nInterface=wlan0\r\n"
    "[LabRasDevice1]\r\nType=modem\r\nName=Standard Modem\r\n"
    "[LabRasDevice2]\r\nType=pppoe\r\nName=WAN Miniport (PPPOE)\r\n";

class LabInventoryFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-inventory-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& text) {
        std::ofstream(dir_ / "LinkAgent.ini", std::ios::binary) << text;
    }
    // The sound machine with each `from` replaced by its `to`.
    void writeChanged(std::initializer_list<std::pair<std::string, std::string>> changes) {
        std::string text = kSoundMachine;
        for (const auto& [from, to] : changes) {
            const auto at = text.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            text.replace(at, from.size(), to);
        }
        write(text);
    }
    void writeChanged(const std::string& from, const std::string& to) {
        writeChanged({{from, to}});
    }
    std::unique_ptr<NetworkInventory> inventory() {
        return makeNetworkInventory(dir_, systemProfile(), makeSystemNetworkInventory);
    }

    fs::path dir_;
    testing::PromptRecorder prompts_;
};

TEST_F(LabInventoryFile, IsUsedInLabModeWhenTheFileDescribesOne) {
    write(kSoundMachine);
    EXPECT_NE(dynamic_cast<LabInventory*>(inventory().get()), nullptr);
    write("[LinkAgent]\r\nMode=lab\r\n");
    EXPECT_EQ(dynamic_cast<LabInventory*>(inventory().get()), nullptr);
    writeChanged("Mode=lab", "Mode=ras");
    EXPECT_EQ(dynamic_cast<LabInventory*>(inventory().get()), nullptr);
    fs::remove(dir_ / "LinkAgent.ini");
    EXPECT_EQ(dynamic_cast<LabInventory*>(inventory().get()), nullptr);
}

TEST_F(LabInventoryFile, ReadsDevicesAdaptersAndRasDevices) {
    const std::pair<std::string, std::string> moreDevices = {
        "[LabRasDevice1]",
        "[LabDevice2]\r\nState=disabled\r\n[LabDevice3]\r\nDescription=\r\nState=unknown\r\n"
        "[LabRasDevice1]"};
    writeChanged({moreDevices});
    auto lab = inventory();
    std::vector<PciNetworkDevice> devices;
    ASSERT_TRUE(lab->pciNetworkDevices(devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].description, "Realtek RTL8139");
    EXPECT_EQ(devices[0].interfaceId, "eth0");

    writeChanged({moreDevices, {"Devices=1", "Devices=3"}});
    ASSERT_TRUE(lab->pciNetworkDevices(devices)) << "read again at each query";
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[1].description, std::nullopt);
    EXPECT_EQ(devices[1].state, DeviceState::Disabled);
    EXPECT_EQ(devices[2].description, "");
    EXPECT_EQ(devices[2].state, DeviceState::QueryFailed);

    std::vector<NetworkAdapter> adapters;
    ASSERT_TRUE(lab->adapters(adapters));
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[0].mac, (std::vector<std::uint8_t>{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
    EXPECT_TRUE(adapters[1].mac.empty());
    EXPECT_EQ(adapters[1].ipAddress, "0.0.0.0");

    std::vector<RasDevice> ras;
    ASSERT_TRUE(lab->rasDevices(ras));
    ASSERT_EQ(ras.size(), 2u);
    EXPECT_EQ(ras[1].type, "pppoe");
    EXPECT_EQ(ras[1].name, "WAN Miniport (PPPOE)");
}

TEST_F(LabInventoryFile, NamedQueriesFailAndCountsAreBounded) {
    writeChanged("RasDevices=2", "RasDevices=2\r\nFail=devices ras");
    auto lab = inventory();
    std::vector<PciNetworkDevice> devices;
    std::vector<NetworkAdapter> adapters;
    std::vector<RasDevice> ras;
    EXPECT_FALSE(lab->pciNetworkDevices(devices));
    EXPECT_TRUE(lab->adapters(adapters));
    EXPECT_FALSE(lab->rasDevices(ras));

    writeChanged("Devices=1", "Devices=99999999\r\nFail=adapters");
    EXPECT_TRUE(lab->pciNetworkDevices(devices));
    EXPECT_EQ(devices.size(), static_cast<std::size_t>(LabInventory::kMaxEntries));
    EXPECT_FALSE(lab->adapters(adapters));
    writeChanged("Devices=1", "Devices=-4");
    EXPECT_TRUE(lab->pciNetworkDevices(devices));
    EXPECT_TRUE(devices.empty());
}

TEST_F(LabInventoryFile, EveryVerdictCanBeShown) {
    struct Case {
        std::string from, to;
        std::wstring verdict;
        StageIcon adapter, pppoe;
    };
    const Case cases[] = {
        {"State=enabled", "State=enabled", faultcheck::verdictText(IDS_FAULT_HEALTHY),
         StageIcon::Good, StageIcon::Good},
        {"IP=192.168.1.10", "IP=0.0.0.0", faultcheck::verdictText(IDS_FAULT_UNPLUGGED),
         StageIcon::Fault, StageIcon::Neutral},
        {"Type=pppoe", "Type=PPPOE", faultcheck::verdictText(IDS_FAULT_NO_PPPOE), StageIcon::Good,
         StageIcon::Fault},
        {"State=enabled", "State=disabled", faultcheck::verdictText(IDS_FAULT_DISABLED),
         StageIcon::Fault, StageIcon::Neutral},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        writeChanged(c.from, c.to);
        auto lab = inventory();
        FaultCheck check(*lab);
        check.run();
        EXPECT_EQ(check.diagnosis(), c.verdict);
        EXPECT_EQ(check.adapterIcon(), c.adapter);
        EXPECT_EQ(check.pppoeIcon(), c.pppoe);
        EXPECT_EQ(check.rows().interfaces.size(), c.to == "State=disabled" ? 0u : 2u);
    }
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(LabInventoryFile, ValuesMayCarryComments) {
    write(
        "[LinkAgent]\r\nMode=lab\r\n"
        "[LabInventory]\r\nDevices=1          ; PCI network adapters\r\nAdapters=1\r\n"
        "RasDevices=1\r\nFail=              ; queries that fail\r\n"
        "[LabDevice1]\r\nDescription=Realtek RTL8139   ; leave the key out\r\n"
        "State=disabled\t; enabled, disabled, or unknown\r\nInterface=eth0\r\n"
        "[LabAdapter1]\r\nIP=192.168.1.10               ; 0.0.0.0: the cable is out\r\n"
        "Description=A;B\r\n"
        "[LabRasDevice1]\r\nType=pppoe ; anything else\r\nName=WAN Miniport (PPPOE)\r\n");
    auto lab = inventory();
    std::vector<PciNetworkDevice> devices;
    std::vector<NetworkAdapter> adapters;
    std::vector<RasDevice> ras;
    ASSERT_TRUE(lab->pciNetworkDevices(devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].description, "Realtek RTL8139");
    EXPECT_EQ(devices[0].state, DeviceState::Disabled);
    ASSERT_TRUE(lab->adapters(adapters));
    EXPECT_EQ(adapters[0].ipAddress, "192.168.1.10");
    EXPECT_EQ(adapters[0].description, "A;B");
    ASSERT_TRUE(lab->rasDevices(ras));
    EXPECT_EQ(ras[0].type, "pppoe");
}

TEST(MacParsing, TakesHexBytesAndRefusesAnythingElse) {
    EXPECT_EQ(parseMacText("0-a:FF"), (std::vector<std::uint8_t>{0x00, 0x0a, 0xff}));
    std::string sixteen = "AB";
    for (int i = 1; i < 16; ++i) sixteen += "-AB";
    EXPECT_EQ(parseMacText(sixteen), std::vector<std::uint8_t>(16, 0xab));
    for (std::string bad : {"00-", "-00", "000-11", "0g", "00--11", "00 11"}) {
        EXPECT_TRUE(parseMacText(bad).empty()) << bad;
    }
}

}  // namespace
}  // namespace tarnix
