// The remote-access binding against what a current Windows does, shown with the stand-in:
// the phonebook, the structure sizes, dead links, cancelled dials, notifications, long
// listings and a service that misbehaves. Runs inside RasStandIn.Inside's copy.
#include <gtest/gtest.h>

#include <ras.h>
#include <raserror.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "base/DialEntry.h"
#include "dial/ConnectManage.h"
#include "dial/DialFailure.h"
#include "dial/LinkProbes.h"
#include "dial/win/RasLayouts.h"
#include "base/CodePage.h"
#include "../support/DialRig.h"
#include "ras_StandIn.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

std::wstring userPhonebook() {
    wchar_t appData[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData, n) + L"\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
}

std::wstring systemPhonebook() {
    return (testProgramFolder() / "system.pbk").wstring();
}

std::wstring entryKey(const std::wstring& book, const wchar_t* key) {
    wchar_t value[256] = L"";
    GetPrivateProfileStringW(gbToWide(kDialEntryName).c_str(), key, L"", value, 256, book.c_str());
    return value;
}

void removeEntry() {
    const std::wstring entry = gbToWide(kDialEntryName);
    WritePrivateProfileStringW(entry.c_str(), nullptr, nullptr, userPhonebook().c_str());
    WritePrivateProfileStringW(entry.c_str(), nullptr, nullptr, systemPhonebook().c_str());
}

std::string sessions() {
    const std::string list = askLab("LIST");
    return list.substr(list.rfind("END "));
}

class RasInsideBinding : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_STAND_IN();
        standIn("reset");  // a current Windows, no administrator rights
        askLab("DROP all");
        askLab("DELAY 0");
        removeEntry();
    }
    void TearDown() override {
        if (!standInControl()) return;
        standIn("reset");
        askLab("DROP all");
        askLab("DELAY 0");
    }
    bool dial(CConnectManage& manage, const char* password = "demo") {
        std::string u = "demo", p = password, e = kDialEntryName;
        manage.SetConnectType(1);
        manage.SetConnectInfo(u.data(), p.data(), e.data());
        return manage.Connect() != 0;
    }
    ConnHandle theLink(CConnectManage& manage) {
        auto links = connectionsOf(manage.remoteAccess(), kDialEntryName, true);
        return links.empty() ? 0 : links.front();
    }

    TempFolder folder_{L"rasbind"};  // no LinkAgent.ini: ras mode
};

TEST_F(RasInsideBinding, TheEntryIsMadeInTheUsersOwnPhonebookAndItsFailuresAreTold) {
    // A user who never made a connection: no phonebook, not even its folder.
    const std::filesystem::path book(userPhonebook());
    std::error_code ec;
    std::filesystem::remove_all(book.parent_path(), ec);
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_EQ(entryKey(userPhonebook(), L"DEVICE"), L"PPPoE");
    EXPECT_EQ(entryKey(systemPhonebook(), L"DEVICE"), L"") << "needs administrator rights";
    // The authentication a broadband entry of Windows' own wizard allows.
    const DWORD options = std::wcstoul(entryKey(userPhonebook(), L"Options").c_str(), nullptr, 10);
    for (DWORD required : {RASEO_RequirePAP, RASEO_RequireCHAP, RASEO_RequireMsCHAP2})
        EXPECT_EQ(options & required, required) << std::hex << required;
    int entries = 0;
    manage.InsertEntryName(
        [](char* name, void* n) { return *static_cast<int*>(n) += kDialEntryName == std::string(name), 0; },
        nullptr, &entries);
    manage.EnumEntry();
    EXPECT_EQ(entries, 1);
    manage.Close();

    // Each way the creation can fail reaches the dial's error, and so the status line.
    removeEntry();
    standIn("devices 0");
    EXPECT_FALSE(dial(manage));
    EXPECT_EQ(manage.LastError(), kDialErrorNoDevice);
    standIn("devices 1");
    standIn("fail RasSetEntryPropertiesW 5");
    EXPECT_FALSE(dial(manage));
    EXPECT_EQ(manage.LastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(dialFailureText(manage.LastError()).empty());
    standIn("fail RasValidateEntryNameW 123");
    EXPECT_FALSE(dial(manage));
    EXPECT_EQ(manage.LastError(), ERROR_INVALID_NAME);
    EXPECT_EQ(sessions(), "END 0\n");
    EXPECT_TRUE(dial(manage)) << "and the next turn creates it";
    manage.Close();
}

// An entry of the provider's name that is no PPPoE entry (made by hand for a modem, or
// on another device) is made one again; a phonebook that is empty, damaged or read-only
// never crashes the dial and always says why.
TEST_F(RasInsideBinding, AWrongEntryIsRepairedAndABadPhonebookIsSurvived) {
    CConnectManage manage(folder_.path(), systemDialing());
    const std::wstring entry = gbToWide(kDialEntryName);
    const std::wstring book = userPhonebook();
    WritePrivateProfileStringW(entry.c_str(), L"DEVICE", L"modem", book.c_str());
    WritePrivateProfileStringW(entry.c_str(), L"Device_Name", L"Standard Modem", book.c_str());
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_EQ(entryKey(book, L"DEVICE"), L"PPPoE");
    EXPECT_EQ(entryKey(book, L"Device_Name"), L"WAN Miniport (PPPOE)");
    manage.Close();

    for (const char* content : {"", "\x01\x02 not a phonebook [[[\r\n=\r\n"}) {
        std::ofstream(std::filesystem::path(book), std::ios::binary | std::ios::trunc) << content;
        EXPECT_TRUE(dial(manage)) << "phonebook \"" << content << "\": " << manage.LastError();
        manage.Close();
    }
    removeEntry();
    SetFileAttributesW(book.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool dialled = dial(manage);
    SetFileAttributesW(book.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Wine lets root write a read-only file: the dial either went ahead or says why.
    EXPECT_TRUE(dialled || !dialFailureText(manage.LastError()).empty()) << manage.LastError();
    manage.Close();
    EXPECT_EQ(sessions(), "END 0\n");
}

TEST_F(RasInsideBinding, ListingSpeaksTheSizesOfTheSystemItRunsOn) {
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_EQ(manage.CheckNet(), 1) << "a current system, which takes every size";
    standIn("sizes old");
    EXPECT_EQ(manage.CheckNet(), 1) << "an older one refuses the newer sizes";
    manage.Close();
    EXPECT_EQ(sessions(), "END 0\n");
    EXPECT_EQ(standIn("listed"), 0u);
    removeEntry();
    ASSERT_TRUE(dial(manage)) << "the entry made in the older layout, error " << manage.LastError();
}

TEST_F(RasInsideBinding, ADroppedLinkIsHungUpAndCountsAsGone) {
    CConnectManage manage(folder_.path(), systemDialing());
    RemoteAccess& ras = manage.remoteAccess();
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    const ConnHandle link = theLink(manage);
    ASSERT_NE(link, 0u);
    auto ended = ras.createEvent();
    ASSERT_TRUE(ras.notifyDisconnection(link, ended));
    askLab("DROP all");
    EXPECT_TRUE(ended->wait(5000));
    // The service keeps a dead link listed until it is hung up, which the listing leaves
    // to the dial library (the window's thread lists too).
    std::vector<ActiveConnection> live;
    ASSERT_TRUE(ras.enumConnections(live, 10));
    EXPECT_TRUE(live.empty()) << "the dead link still counts";
    manage.SetHrasconnNull();  // as the drop monitor does
    EXPECT_EQ(standIn("listed"), 0u) << "its handle was not hung up";
    EXPECT_EQ(manage.CheckNet(), 0);

    // Asked to watch a link that is already dead: told at once.
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    const ConnHandle second = theLink(manage);
    askLab("DROP all");
    ASSERT_TRUE(eventually(
        [&] {
            auto lab = askLab("LIST");
            return lab.rfind("END 0") != std::string::npos;
        },
        3s));
    std::this_thread::sleep_for(300ms);  // the service hears of the end
    auto late = ras.createEvent();
    ASSERT_TRUE(ras.notifyDisconnection(second, late));
    EXPECT_TRUE(late->wait(0)) << "a dead link's end was never told";
    manage.SetHrasconnNull();
    EXPECT_EQ(standIn("listed"), 0u);
}

// After RasHangUp the service needs time: the hang-up waits until it lets go of the handle,
// the next dial until the port is free, and a dial that still finds the port in use just
// after a hang-up is tried once more before the user hears of it.
TEST_F(RasInsideBinding, AHangUpWaitsForTheServiceAndTheNextDialForThePort) {
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    const auto link = reinterpret_cast<HRASCONN>(manage.Connection());
    ASSERT_EQ(link, reinterpret_cast<HRASCONN>(theLink(manage)));
    manage.Close();
    raslayout::ConnStatus7 status{};
    status.base.dwSize = sizeof status;
    EXPECT_EQ(RasGetConnectStatusW(link, &status.base), static_cast<DWORD>(ERROR_INVALID_HANDLE))
        << "the hang-up returned before the service let go of the handle";
    EXPECT_TRUE(dial(manage)) << "the dial right after a hang-up, error " << manage.LastError();
    manage.Close();

    standIn("fail RasDialW 633 1");
    EXPECT_TRUE(dial(manage)) << "a port still in use was not tried again: " << manage.LastError();
    manage.Close();
    standIn("fail RasDialW 633 2");
    EXPECT_FALSE(dial(manage)) << "tried more than once more";
    EXPECT_EQ(manage.LastError(), ERROR_PORT_NOT_AVAILABLE);
    standIn("reset");
    EXPECT_EQ(sessions(), "END 0\n");
}

TEST_F(RasInsideBinding, ADisconnectEndsADialInProgress) {
    DialRig rig("rascancel", makeRasDialBackend());
    rig.realPauses = true;
    DialController& controller = rig.make();
    askLab("DELAY 5000");
    controller.connect({"demo", "demo"});
    ASSERT_TRUE(eventually([] { return standIn("listed") == 1; }, 3s)) << "no dial began";
    std::this_thread::sleep_for(300ms);
    const auto asked = std::chrono::steady_clock::now();
    controller.disconnectCommand("demo");
    EXPECT_TRUE(eventually([] { return standIn("listed") == 0; }, 1500ms))
        << "the disconnect waited for the dial";
    EXPECT_TRUE(eventually([&] { return controller.runningThreads() == 0; }, 3s));
    std::printf("disconnect during a dial: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - asked)
                                           .count()));
    std::this_thread::sleep_for(5s);  // past the moment lab-ac would have answered
    EXPECT_EQ(sessions(), "END 0\n") << "a session came of the cancelled dial";
    for (const auto& event : rig.view.events())
        EXPECT_EQ(event.rfind("failed", 0), std::string::npos) << "a cancel told as a failure";
}

TEST_F(RasInsideBinding, TheConnectionNotificationIsRegisteredOnce) {
    CConnectManage manage(folder_.path(), systemDialing());
    RemoteAccess& ras = manage.remoteAccess();
    auto made = ras.createEvent();
    for (int turn = 0; turn < 5; ++turn) ASSERT_TRUE(ras.notifyConnection(made));
    EXPECT_EQ(standIn("registrations"), 1u);
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_TRUE(made->wait(2000)) << "the one registration still tells";
}

TEST_F(RasInsideBinding, MoreThanTenConnectionsStillFindTheLink) {
    standIn("others 12");  // VPNs and the like
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_EQ(manage.CheckNet(), 1);
    EXPECT_NE(theLink(manage), 0u);
    LinkProbes probes(manage.remoteAccess(), systemInterfaceTable());
    EXPECT_FALSE(probes.connectionAddress().empty());
    EXPECT_EQ(probes.linkSpeedText(), "10Mbps") << "lab-ac's line speed";
}

// A service that keeps failing, or changes under the client, is survived, and the next
// turn finds the link.
TEST_F(RasInsideBinding, AMisbehavingServiceIsSurvived) {
    CConnectManage manage(folder_.path(), systemDialing());
    RemoteAccess& ras = manage.remoteAccess();
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    std::vector<ActiveConnection> live;
    const char* faults[] = {"fail RasEnumConnectionsW 603 -1", "fail RasEnumConnectionsW 632 -1",
                            "fail RasEnumConnectionsW 621 -1", "fail RasGetConnectStatusW 632 -1"};
    for (const char* fault : faults) {
        standIn(fault);
        auto asked = std::chrono::steady_clock::now();
        ras.enumConnections(live, 10);
        EXPECT_EQ(manage.CheckNet(), 0) << fault;
        EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s) << fault;
        standIn("reset");
        EXPECT_EQ(manage.CheckNet(), 1) << "after " << fault;
    }
    // Gone between the listing and the question about it.
    standIn("vanish 1");
    ASSERT_TRUE(ras.enumConnections(live, 10));
    EXPECT_EQ(manage.CheckNet(), 1);
    standIn("vanish 3");
    LinkProbes probes(ras, systemInterfaceTable());
    EXPECT_FALSE(probes.trayTipText(true).empty());
    standIn("reset");
    EXPECT_EQ(manage.CheckNet(), 1);

    // No notification ever comes: a drop is still seen by looking.
    standIn("notify off");
    askLab("DROP all");
    EXPECT_TRUE(eventually([&] { return manage.CheckNet() == 0; }, 5s));
    manage.SetHrasconnNull();
    EXPECT_EQ(standIn("listed"), 0u);
    standIn("reset");
    EXPECT_TRUE(dial(manage)) << "error " << manage.LastError();
}

}  // namespace
