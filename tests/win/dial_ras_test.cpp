// The real remote-access binding, as far as the Windows it runs on allows (Wine has no
// remote-access service): every operation returns, and in bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>

#include "dial/ConnectManage.h"
#include "dial/DialFailure.h"
#include "../support/WinProcess.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

// Runs `work` on its own thread and fails when it has not returned in time, so a hang
// is reported instead of stopping the whole suite.
template <typename Work>
void expectReturnsWithin(std::chrono::seconds limit, Work work, const char* what) {
    auto done = std::async(std::launch::async, work);
    ASSERT_EQ(done.wait_for(limit), std::future_status::ready) << what << " did not return";
    done.get();
}

class RasMode : public ::testing::Test {
  protected:
    TempFolder folder_{L"ras"};  // no LinkAgent.ini: the real service
};

TEST_F(RasMode, EveryLibraryOperationReturns) {
    CConnectManage manage(folder_.path(), systemDialing());
    ASSERT_EQ(manage.mode(), "ras");

    int entries = 0;
    manage.InsertEntryName([](char*, void* n) { return ++*static_cast<int*>(n), 0; }, nullptr,
                           &entries);
    expectReturnsWithin(
        30s, [&] { manage.EnumEntry(); }, "EnumEntry");

    std::string user = "demo", password = "123456", entry = kDialEntryName;
    manage.SetConnectType(1);
    manage.SetConnectInfo(user.data(), password.data(), entry.data());
    expectReturnsWithin(
        90s, [&] { manage.Connect(); }, "Connect");
    expectReturnsWithin(
        10s, [&] { manage.CheckNet(); }, "CheckNet");
    expectReturnsWithin(
        10s, [&] { manage.CheckNetType(); }, "CheckNetType");
    expectReturnsWithin(
        10s, [&] { manage.Close(); }, "Close");
    manage.SetHrasconnNull();
}

TEST_F(RasMode, AFailedDialSaysWhyAndAnAbandonedOneEndsAtOnce) {
    CConnectManage manage(folder_.path(), systemDialing());
    std::string user = "demo", password = "123456", entry = kDialEntryName;
    manage.SetConnectType(1);
    manage.SetConnectInfo(user.data(), password.data(), entry.data());
    // Wherever this runs there is no provider to answer: the dial fails, and says why.
    int connected = 1;
    expectReturnsWithin(
        90s, [&] { connected = manage.Connect(); }, "Connect");
    if (connected == 0) {
        EXPECT_NE(manage.LastError(), 0);
    }
    std::printf("ras dial: %d, error %d\n", connected, manage.LastError());
    manage.Close();

    manage.AbandonConnect();
    expectReturnsWithin(
        5s, [&] { connected = manage.Connect(); }, "Connect after AbandonConnect");
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(manage.LastError(), kDialErrorAbandoned);
}

TEST_F(RasMode, RemoteAccessQueriesAndNotificationsReturn) {
    CConnectManage manage(folder_.path(), systemDialing());
    RemoteAccess& ras = manage.remoteAccess();
    std::vector<ActiveConnection> live;
    std::vector<RasDevice> devices;
    expectReturnsWithin(
        10s, [&] { ras.enumConnections(live, 10); }, "enumConnections");
    expectReturnsWithin(
        10s, [&] { ras.enumDevices(devices); }, "enumDevices");

    auto event = ras.createEvent();
    ASSERT_NE(event, nullptr);
    expectReturnsWithin(
        10s, [&] { ras.notifyConnection(event); }, "notifyConnection");
    expectReturnsWithin(
        10s, [&] { ras.notifyDisconnection(0x1234, event); }, "notifyDisconnection");
    // The event is the program's to signal too: the monitors are stopped that way.
    event->set();
    EXPECT_TRUE(event->wait(1000));
    EXPECT_FALSE(event->wait(0)) << "an auto-reset event stays reset after a wait";
}

}  // namespace
