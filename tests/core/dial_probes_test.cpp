// The link probes over a fake remote-access service and interface table, and the
// system's own interface table.
#include <gtest/gtest.h>

#include "../support/FakeRemoteAccess.h"
#include "base/DialEntry.h"
#include "dial/LinkProbes.h"

namespace tarnix {
namespace {

using testing::FakeRemoteAccess;

const std::string kEntry(kDialEntryName);
const std::string kConnectedHead = "\xb3\xce\xd4\xb6\xb2\xa6\xba\xc5\r\nIP\xb5\xd8\xd6\xb7\xa3\xba";
const std::string kSpeedHead = "\r\n\xcb\xd9\xb6\xc8\xa3\xba";

class FakeInterfaceTable : public InterfaceTable {
  public:
    bool read(std::vector<NetworkInterface>& out) override {
        out = rows;
        return !fail;
    }
    std::vector<NetworkInterface> rows;
    bool fail = false;
};

class Probes : public ::testing::Test {
  protected:
    FakeRemoteAccess access_;
    FakeInterfaceTable interfaces_;
    LinkProbes probes_{access_, interfaces_};
};

TEST_F(Probes, AddressIsTheDialEntrysOnly) {
    EXPECT_EQ(probes_.connectionAddress(), "");
    access_.connect("PPPOE_BRELVAN_DEFAULT_ENTRY", "10.9.9.9");  // case counts
    access_.connect("work vpn", "172.16.0.5");
    EXPECT_EQ(probes_.connectionAddress(), "");
    access_.connect(kEntry, "10.8.0.17");
    access_.connect(kEntry, "10.8.0.18");
    EXPECT_EQ(probes_.connectionAddress(), "10.8.0.17");  // the first of the entry
    access_.failEnumeration(true);
    EXPECT_EQ(probes_.connectionAddress(), "");
}

// The speed is the dial entry's link's: its counters', else the PPP interface's, else the
// first interface that is not loopback (which current Windows lists first).
TEST_F(Probes, SpeedIsTheDialLinksInWholeMegabits) {
    EXPECT_EQ(probes_.linkSpeedText(), "");  // an empty table
    interfaces_.rows = {{"loopback", 1073741824, kInterfaceLoopback},
                        {"ethernet", 1000000000, 6},
                        {"PPP adapter", 0, kInterfacePpp}};
    EXPECT_EQ(probes_.linkSpeedText(), "0Mbps") << "the PPP interface, not the loopback one";
    interfaces_.rows.pop_back();
    EXPECT_EQ(probes_.linkSpeedText(), "1000Mbps");

    access_.connect("work vpn", "172.16.0.5");
    const ConnHandle link = access_.connect(kEntry, "10.8.0.17");
    access_.setStatistics(link, {1, 2, 3, 999999});
    EXPECT_EQ(probes_.linkSpeedText(), "0Mbps");
    access_.setStatistics(link, {1, 2, 3, 0xFFFFFFFFu});
    EXPECT_EQ(probes_.linkSpeedText(), "4294Mbps");
    access_.setStatistics(link, {1, 2, 3, 0});  // no speed in the counters: the table's
    EXPECT_EQ(probes_.linkSpeedText(), "1000Mbps");
    interfaces_.fail = true;
    EXPECT_EQ(probes_.linkSpeedText(), "");
}

// A link of the entry still being dialled is not the one whose address is shown.
TEST_F(Probes, AddressSkipsALinkStillBeingDialled) {
    access_.dialling(kEntry, "10.8.0.99");
    EXPECT_EQ(probes_.connectionAddress(), "");
}

TEST_F(Probes, TipTextsForEachStateFitTheTrayField) {
    EXPECT_EQ(probes_.trayTipText(false),
              "\xb3\xce\xd4\xb6\xb2\xa6\xba\xc5\r\n"
              "\xce\xb4\xcd\xa8\xb9\xfd\xb1\xbe\xc8\xed\xbc\xfe\xb2\xa6\xba\xc5");
    // Still flagged connected after the link went: the address part is empty.
    interfaces_.rows = {{"ethernet", 100000000}};
    EXPECT_EQ(probes_.trayTipText(true), kConnectedHead + kSpeedHead + "100Mbps");

    access_.connect(kEntry, "255.255.255.255");
    EXPECT_EQ(probes_.trayTipText(true), kConnectedHead + "255.255.255.255" + kSpeedHead + "100Mbps");

    // However long the parts, the tip keeps within the field and whole characters.
    FakeRemoteAccess odd;
    LinkProbes oddProbes(odd, interfaces_);
    odd.connect(kEntry, std::string(200, '\xb0'));
    const std::string tip = oddProbes.trayTipText(true);
    EXPECT_LE(tip.size(), LinkProbes::kTipField - 1);
    EXPECT_EQ(tip.size() % 2, 0u);  // 126: the odd 127th byte would split a character
    EXPECT_EQ(tip.compare(0, kConnectedHead.size(), kConnectedHead), 0);
}

TEST(SystemInterfaceTable, ReadsTheMachinesInterfaces) {
    std::vector<NetworkInterface> rows;
    ASSERT_TRUE(systemInterfaceTable().read(rows));
    EXPECT_FALSE(rows.empty());  // at least the loopback interface
}

}  // namespace
}  // namespace tarnix
