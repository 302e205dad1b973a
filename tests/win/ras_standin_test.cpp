// The real remote-access binding run against the stand-in (tests/rasapi32) over lab-ac.
// RasStandIn.Inside starts a copy of this program over the stand-in, which runs the
// RasInside* suites; in the ordinary run those skip.
#include <gtest/gtest.h>

#include <ras.h>
#include <raserror.h>

#include <chrono>
#include <future>
#include <thread>

#include "base/DialEntry.h"
#include "dial/ConnectManage.h"
#include "dial/DialFailure.h"
#include "dial/LinkProbes.h"
#include "base/CodePage.h"
#include "ras_StandIn.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

TEST(RasStandIn, Inside) {
    if (standInControl()) GTEST_SKIP() << "this is the copy";
    InProcessLabAc labAc;
    TempFolder folder{L"rasin"};
    ASSERT_TRUE(placeWithStandIn(testProgramFolder() / "win_tests.exe", folder.path(),
                                 L"win_tests_ras.exe"))
        << "the stand-in is built with win_tests";
    ScopedEnvironment environment;
    environment.set(L"TARNIX_STANDIN_AC", gbToWide(labAc.endpoint()));
    environment.overrideRasapi(L"win_tests_ras.exe");
    const int code = runAndWait(folder.path() / "win_tests_ras.exe",
                                L"--gtest_filter=RasInside*:-*DISABLED*", 240000);
    EXPECT_EQ(code, 0) << "the suites over the stand-in failed (their output is above)";
}

// Each test starts from a service without faults, lab-ac without sessions, and the
// entry missing from the user's phonebook.
class RasInside : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_STAND_IN();
        standIn("reset");
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

    static std::wstring systemPhonebook() { return (testProgramFolder() / "system.pbk").wstring(); }
    static void removeEntry() {
        const std::wstring entry = gbToWide(kDialEntryName);
        WritePrivateProfileStringW(entry.c_str(), nullptr, nullptr, userPhonebook().c_str());
        WritePrivateProfileStringW(entry.c_str(), nullptr, nullptr, systemPhonebook().c_str());
    }
    static std::string sessions() {
        const std::string list = askLab("LIST");
        return list.substr(list.rfind("END "));
    }

    bool dial(CConnectManage& manage, const char* user = "demo", const char* password = "demo") {
        std::string u = user, p = password, e = kDialEntryName;
        manage.SetConnectType(1);
        manage.SetConnectInfo(u.data(), p.data(), e.data());
        return manage.Connect() != 0;
    }

    TempFolder folder_{L"rasinside"};  // no LinkAgent.ini: ras mode
};

// The stand-in itself keeps to the documented calls: sizing, sizes, handles.
TEST_F(RasInside, TheStandInAnswersAsTheServiceDocuments) {
    DWORD bytes = 0, count = 0;
    EXPECT_EQ(RasEnumConnectionsW(nullptr, &bytes, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(bytes, 0u) << "nothing listed, nothing needed";
    RASCONNW old{};
    old.dwSize = 12;
    bytes = sizeof old;
    EXPECT_EQ(RasEnumConnectionsW(&old, &bytes, &count), static_cast<DWORD>(ERROR_INVALID_SIZE));
    RASCONNSTATUSW status{};
    status.dwSize = sizeof status;
    EXPECT_EQ(RasGetConnectStatusW(reinterpret_cast<HRASCONN>(0x1234), &status),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
    wchar_t text[256];
    EXPECT_EQ(RasGetErrorStringW(691, text, 256), 0u);
    EXPECT_EQ(RasGetErrorStringW(691, text, 3), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    RASDIALPARAMSW params{};
    params.dwSize = sizeof params;
    wcscpy(params.szEntryName, L"no such entry");
    HRASCONN conn = nullptr;
    EXPECT_EQ(RasDialW(nullptr, userPhonebook().c_str(), &params, 0, nullptr, &conn),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

// Dial, address, counters and hang-up through the client's own binding, with lab-ac's
// session behind them.
TEST_F(RasInside, TheClientDialsAndHangsUpThroughTheService) {
    standIn("admin 1");  // whichever phonebook the binding writes to
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_EQ(manage.mode(), "ras");
    ASSERT_TRUE(dial(manage)) << "error " << manage.LastError();
    EXPECT_EQ(sessions(), "END 1\n");
    EXPECT_EQ(manage.CheckNet(), 1);
    LinkProbes probes(manage.remoteAccess(), systemInterfaceTable());
    EXPECT_EQ(probes.connectionAddress().rfind("10.64.0.", 0), 0u) << probes.connectionAddress();
    auto live = connectionsOf(manage.remoteAccess(), kDialEntryName, true);
    ASSERT_EQ(live.size(), 1u);
    LinkStatistics stats;
    std::this_thread::sleep_for(1100ms);
    ASSERT_TRUE(manage.remoteAccess().statistics(live[0], stats));
    EXPECT_GT(stats.bytesReceived, 0u);
    EXPECT_EQ(stats.bitsPerSecond, 10000000u);

    manage.Close();
    EXPECT_EQ(sessions(), "END 0\n");
    EXPECT_EQ(manage.CheckNet(), 0);

    // A refused account says why.
    EXPECT_FALSE(dial(manage, "demo", "wrong"));
    EXPECT_EQ(manage.LastError(), kDialErrorAuthentication);
    askLab("REFUSE 1 676");
    EXPECT_FALSE(dial(manage));
    EXPECT_EQ(manage.LastError(), 676);
    EXPECT_EQ(standIn("listed"), 0u) << "a failed dial's handle is hung up";
}

}  // namespace
