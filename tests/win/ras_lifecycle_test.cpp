// The client's executable in ras mode over the stand-in through what a Windows machine does
// to it every day: the first start on a new account, sleep and resume, the end of the
// Windows session, and a kill followed by a second start.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "app/win/DialerApp.h"
#include "base/Clock.h"
#include "base/CodePage.h"
#include "base/win/Scoped.h"
#include "records/MonthFile.h"
#include "../support/DialRig.h"
#include "ras_StandIn.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

const std::string kNormal = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";  // 正常断开
const std::string kAbnormal = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";  // 非法断开

class RasLifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        if (standInControl()) GTEST_SKIP() << "the client is started over the stand-in from outside";
        ASSERT_TRUE(placeWithStandIn(builtProgram(L"TARNIX_EXE", L"../Tarnix.exe"), folder_.path(),
                                     L"TarnixLife.exe"));
        // No LinkAgent.ini: ras mode. Connect at start.
        writeDemoConfig(folder_.path());
        // A new Windows account: no phonebook file yet.
        DeleteFileW(userPhonebook().c_str());
        environment_.set(L"TARNIX_STANDIN_AC", gbToWide(labAc_.endpoint()));
        environment_.overrideRasapi(L"TarnixLife.exe");
    }

    std::string sessions() {
        const std::string list = labAc_.ask("LIST");
        return list.substr(list.rfind("END "));
    }
    std::vector<RecordItem> records() { return readRecordItems(currentRecordFile(folder_.path())); }

    // Starts the client and waits until it has connected at start; its main window.
    HWND startConnected(std::unique_ptr<ChildProcess>& client, std::size_t recordsBefore = 0) {
        client = std::make_unique<ChildProcess>(folder_.path() / "TarnixLife.exe");
        HWND w = nullptr;
        EXPECT_TRUE(waitFor(
            [&] {
                return (w = windowOf(client->id(), [](HWND h) {
                            return GetPropW(h, kProductTitle) != nullptr;
                        })) != nullptr;
            },
            20s));
        EXPECT_TRUE(waitFor(
            [&] {
                auto items = records();
                return sessions() == "END 1\n" && items.size() == recordsBefore + 1 &&
                       !items[0].ip.empty();
            },
            20s))
            << sessions();
        return w;
    }

    InProcessLabAc labAc_;
    TempFolder folder_{L"raslife"};
    ScopedEnvironment environment_;
};

// The first start on an account without a phonebook dials and connects; a sleep hangs up
// as a disconnect would and the resume dials again; the end of the Windows session closes
// the record normally and hangs up before WM_ENDSESSION returns.
TEST_F(RasLifecycle, FirstStartSleepResumeAndTheEndOfTheWindowsSession) {
    std::unique_ptr<ChildProcess> client;
    HWND w = startConnected(client);
    ASSERT_NE(w, nullptr);

    DWORD_PTR answer = 0;
    SendMessageTimeoutW(w, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_BLOCK, 5000, &answer);
    EXPECT_TRUE(waitFor(
        [&] { return sessions() == "END 0\n" && records()[0].cause == kNormal; }, 10s))
        << sessions();
    SendMessageTimeoutW(w, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, SMTO_BLOCK, 5000, &answer);
    SendMessageTimeoutW(w, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, SMTO_BLOCK, 5000, &answer);
    EXPECT_TRUE(waitFor([&] { return sessions() == "END 1\n" && records().size() == 2; }, 15s))
        << "no redial after the resume: " << sessions();
    Sleep(1000);  // lab-ac counts some traffic
    auto items = records();
    ASSERT_EQ(items.size(), 2u) << "one dial after the resume";
    EXPECT_EQ(items[1].cause, kNormal) << "a sleep is no abnormal end";
    EXPECT_EQ(items[0].end, "");

    answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK,
                                    5000, &answer));
    EXPECT_EQ(answer, TRUE) << "the client must let Windows end the session";
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(SendMessageTimeoutW(w, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000,
                                    &answer));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - asked);
    // Windows ends the process now: what is not done by here is lost.
    client->kill();
    items = records();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].cause, kNormal);
    EXPECT_FALSE(items[0].end.empty());
    EXPECT_FALSE(items[0].received.empty()) << "the counters";
    EXPECT_EQ(sessions(), "END 0\n") << "not hung up";
    EXPECT_LT(took.count(), 5000) << "longer than Windows waits";
    std::printf("ras mode: WM_ENDSESSION handled in %lld ms\n",
                static_cast<long long>(took.count()));
}

// A client killed while connected leaves its record open; the next start closes it as
// 非法断开 no later than the kill, and dials its own session.
TEST_F(RasLifecycle, AKilledClientsSessionIsClosedAtTheNextStartNoLaterThanTheKill) {
    std::unique_ptr<ChildProcess> client;
    ASSERT_NE(startConnected(client), nullptr);
    const std::string started = records()[0].start;
    const std::string killedAt = formatTime(systemClock().now());
    client->kill();
    ASSERT_TRUE(client->waitExit(5000));
    labAc_.ask("DROP all");  // the line went with the machine's end of it

    ASSERT_NE(startConnected(client, 1), nullptr);
    auto items = records();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].start, started);
    EXPECT_EQ(items[1].cause, kAbnormal);
    EXPECT_FALSE(items[1].end.empty());
    EXPECT_GE(items[1].end, started);
    EXPECT_LE(items[1].end, killedAt) << "closed later than the run was alive";
    EXPECT_EQ(items[0].end, "") << "the new session is open";
}

}  // namespace

namespace {

// Another program (a backup, a virus scanner) holds the record file at the 5-minute save:
// the save waits for no one, the record and the last-seen time survive, and the next save
// writes the counters.
TEST(RasLifecycleRecords, AHeldRecordFileAtTheProgressSaveLosesNothing) {
    TempFolder folder{L"heldrecord"};
    FakeRemoteAccess access;
    FakeClock clock;
    SessionRecords records(folder.path(), access, clock);
    records.openRecord("ann");
    const auto file = folder.path() / monthFileName(clock.now());
    LinkStatistics stats;
    stats.bytesSent = 7;
    stats.bytesReceived = 9;
    clock.set({2009, 3, 1, 8, 10, 9});
    {
        ScopedHandle held(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        records.saveProgress(&stats);
    }
    auto items = readRecordItems(file);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].end, "");
    std::ifstream seen(folder.path() / "last-seen.txt", std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(seen), {}).find("seen=2009-03-01 08:10:09"),
              std::string::npos);
    records.saveProgress(&stats);
    EXPECT_EQ(readRecordItems(file)[0].received, "9");
}

}  // namespace
