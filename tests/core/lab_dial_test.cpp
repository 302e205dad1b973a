// Lab mode from the client's side: the dial backend and the remote-access view over
// lab-ac, including lab-ac dying under it.

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <thread>

#include "TextIds.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "../support/DialRig.h"
#include "../support/lab_Process.h"
#include "../support/lab_Server.h"
#include "dial/DialBackend.h"
#include "dial/DialFailure.h"
#include "dial/lab/LabRemoteAccess.h"

namespace tarnix {
namespace {

using testing::InProcessLabAc;
constexpr char kLabEntry[] = "pppoe_brelvan_default_entry";
// Waits in these tests are bounds against hanging, not measurements.
constexpr std::uint32_t kPatienceMs = 10000;

bool lists(RemoteAccess& remote, ConnHandle handle, const std::string& entry = kLabEntry) {
    std::vector<ActiveConnection> connections;
    if (!remote.enumConnections(connections)) return false;
    for (const auto& connection : connections)
        if (connection.handle == handle && connection.entryName == entry) return true;
    return false;
}

TEST(LabDial, DialReportsTheConnectionWithAddressCountersAndNotification) {
    InProcessLabAc ac;
    auto backend = makeLabDialBackend(ac.endpoint());
    RemoteAccess& remote = backend->remoteAccess();

    std::vector<std::string> entries;
    backend->enumEntries([&](const std::string& name) { entries.push_back(name); });
    EXPECT_EQ(entries, std::vector<std::string>{kLabEntry});
    std::vector<RasDevice> devices;
    ASSERT_TRUE(remote.enumDevices(devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].type, "PPPoE");

    std::vector<ActiveConnection> none;
    ASSERT_TRUE(remote.enumConnections(none));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(backend->networkReachable());
    auto connected = remote.createEvent();
    ASSERT_TRUE(remote.notifyConnection(connected));
    ASSERT_TRUE(remote.notifyConnection(connected));  // again: harmless

    ConnHandle handle = backend->dial("demo", "demo", kLabEntry).handle;
    ASSERT_NE(handle, 0u);
    EXPECT_TRUE(connected->wait(kPatienceMs));
    EXPECT_FALSE(connected->wait(0)) << "one connection, one signal";
    EXPECT_TRUE(lists(remote, handle));
    std::string address;
    ASSERT_TRUE(remote.ipAddress(handle, address));
    EXPECT_EQ(address, "10.64.0.10");

    LinkStatistics before, after;
    ASSERT_TRUE(remote.statistics(handle, before));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(remote.statistics(handle, after));
    EXPECT_GT(after.bytesSent, before.bytesSent);
    EXPECT_GT(after.bytesReceived, before.bytesReceived);
    EXPECT_GT(after.connectDurationMs, before.connectDurationMs);
    EXPECT_EQ(after.bitsPerSecond, 10000000u);
    EXPECT_FALSE(remote.statistics(handle + 1, after));

    // A dial of another entry is a connection of its own, under that entry name.
    ConnHandle other = backend->dial("demo", "demo", "other entry").handle;
    ASSERT_NE(other, 0u);
    EXPECT_TRUE(lists(remote, other, "other entry"));
    EXPECT_TRUE(connected->wait(kPatienceMs));
}

TEST(LabDial, WrongPasswordFailsWith691AtLabAc) {
    InProcessLabAc ac;
    auto backend = makeLabDialBackend(ac.endpoint());
    EXPECT_EQ(backend->dial("demo", "wrong", kLabEntry).handle, 0u);
    EXPECT_TRUE(ac.logged("refused demo: 691"));
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");
}

// The controller over lab-ac: the status line says why each refused dial failed.
TEST(LabDial, ARefusedConnectSaysWhyInWords) {
    InProcessLabAc ac;
    testing::DialRig rig("labfail", makeLabDialBackend(ac.endpoint()));
    auto& controller = rig.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    std::vector<std::string> shown;
    auto refusedWith = [&](int error, const std::string& password) {
        controller.connect({"demo", password});
        const std::string text = wideToGb(dialFailureText(error));
        for (std::string step : {"dialling", "disconnected", "failed "}) shown.push_back(step);
        shown.back() += text;
        return testing::eventually([&] { return rig.view.status() == text; },
                                   std::chrono::milliseconds(kPatienceMs));
    };
    EXPECT_TRUE(refusedWith(691, "wrong"));
    for (int error : {676, kDialErrorNoDevice, 769, 4242}) {
        ac.ask("REFUSE 1 " + std::to_string(error));
        EXPECT_TRUE(refusedWith(error, "demo")) << error;
    }
    EXPECT_EQ(rig.view.events(), shown);

    controller.connect({"demo", "demo"});
    EXPECT_TRUE(testing::eventually([&] { return rig.view.status() == gbText(IDS_STATUS_CONNECTED); },
                                    std::chrono::milliseconds(kPatienceMs)));
    controller.stopMonitors();
    rig.connectManage->Close();
}

TEST(LabDial, AbandoningEndsADialInProgressAndEveryLaterOne) {
    InProcessLabAc ac;
    auto backend = makeLabDialBackend(ac.endpoint());
    ac.ask("DELAY 30000");
    DialOutcome outcome{1, 0};
    std::thread dialling([&] { outcome = backend->dial("demo", "demo", kLabEntry); });
    ASSERT_TRUE(testing::eventually([&] { return ac.logged("dialling demo"); }));
    backend->abandonDials();
    dialling.join();
    EXPECT_EQ(outcome.handle, 0u);
    EXPECT_EQ(outcome.error, kDialErrorAbandoned);
    EXPECT_TRUE(testing::eventually([&] { return ac.logged("abandoned demo"); }))
        << "lab-ac withdraws the dial";

    ac.ask("DELAY 0");
    outcome = backend->dial("demo", "demo", kLabEntry);
    EXPECT_EQ(outcome.error, kDialErrorAbandoned);
    EXPECT_EQ(ac.countLogged("dialling demo"), 1) << "nothing more is asked of lab-ac";
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");
}

TEST(LabDial, AdminDropAndHangUpSignalTheDisconnection) {
    InProcessLabAc ac;
    auto backend = makeLabDialBackend(ac.endpoint());
    RemoteAccess& remote = backend->remoteAccess();

    ConnHandle dropped = backend->dial("demo", "demo", kLabEntry).handle;
    ConnHandle kept = backend->dial("demo", "demo", kLabEntry).handle;
    ASSERT_NE(dropped, 0u);
    ASSERT_NE(kept, 0u);
    auto droppedEnd = remote.createEvent();
    auto keptEnd = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(dropped, droppedEnd));
    ASSERT_TRUE(remote.notifyDisconnection(kept, keptEnd));

    EXPECT_EQ(ac.ask("DROP " + std::to_string(dropped)), "OK 1 dropped\n");
    EXPECT_TRUE(droppedEnd->wait(kPatienceMs));
    EXPECT_FALSE(keptEnd->wait(100));
    EXPECT_FALSE(lists(remote, dropped));
    EXPECT_TRUE(lists(remote, kept));

    backend->hangUp(kept);
    EXPECT_TRUE(keptEnd->wait(0)) << "hangUp returns once the connection is gone";
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");

    // Asking about a connection that has already ended answers at once.
    auto late = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(kept, late));
    EXPECT_TRUE(late->wait(0));
}

TEST(LabDial, ARestartedClientFindsItsSession) {
    InProcessLabAc ac;
    ConnHandle handle;
    {
        auto first = makeLabDialBackend(ac.endpoint());
        handle = first->dial("demo", "demo", kLabEntry).handle;
        ASSERT_NE(handle, 0u);
    }
    auto second = makeLabDialBackend(ac.endpoint());
    EXPECT_TRUE(lists(second->remoteAccess(), handle));
    std::string address;
    EXPECT_TRUE(second->remoteAccess().ipAddress(handle, address));
    second->hangUp(handle);
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");
}

TEST(LabDial, NoConcentratorMeansNoDialAndNoConnections) {
    std::uint16_t closedPort;
    {
        Socket probe = Socket::listenTcp("127.0.0.1", 0);
        closedPort = probe.localPort();
    }
    for (std::string where : {"127.0.0.1:" + std::to_string(closedPort), std::string("nonsense"),
                              std::string("127.0.0.1:0"), std::string()}) {
        auto backend = makeLabDialBackend(where);
        EXPECT_EQ(backend->dial("demo", "demo", kLabEntry).handle, 0u) << where;
        EXPECT_FALSE(backend->networkReachable()) << where;
        std::vector<ActiveConnection> connections;
        EXPECT_FALSE(backend->remoteAccess().enumConnections(connections)) << where;
        LinkStatistics stats;
        EXPECT_FALSE(backend->remoteAccess().statistics(1, stats)) << where;
        backend->hangUp(1);  // nothing to hang up; must simply return
        std::vector<std::string> entries;
        backend->enumEntries([&](const std::string& name) { entries.push_back(name); });
        EXPECT_EQ(entries.size(), 1u);
    }
}

TEST(LabDial, GoingDownEndsTheConnectionAndComingBackAllowsDials) {
    InProcessLabAc ac;
    auto backend = makeLabDialBackend(ac.endpoint());
    RemoteAccess& remote = backend->remoteAccess();
    ConnHandle handle = backend->dial("demo", "demo", kLabEntry).handle;
    ASSERT_NE(handle, 0u);
    auto ended = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(handle, ended));

    ac.ask("DOWN 1");
    EXPECT_TRUE(ended->wait(kPatienceMs));
    EXPECT_EQ(backend->dial("demo", "demo", kLabEntry).handle, 0u);

    ConnHandle again = 0;
    for (int i = 0; i < 50 && again == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        again = backend->dial("demo", "demo", kLabEntry).handle;
    }
    ASSERT_NE(again, 0u);
    EXPECT_NE(again, handle);
    EXPECT_TRUE(lists(remote, again));
}

TEST(LabDial, KillingLabAcEndsEveryConnection) {
    testing::LabAcProcess process({"--port", "0", "--account", "demo:demo"});
    ASSERT_NE(process.port(), 0) << "lab-ac at " << testing::labAcProgram()
                                 << " did not start: " << process.startOutput();
    auto backend = makeLabDialBackend(process.endpoint());
    RemoteAccess& remote = backend->remoteAccess();
    ConnHandle handle = backend->dial("demo", "demo", kLabEntry).handle;
    ASSERT_NE(handle, 0u);
    auto ended = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(handle, ended));

    auto killed = std::chrono::steady_clock::now();
    process.kill();
    ASSERT_TRUE(ended->wait(kPatienceMs));
    auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - killed);
    std::cout << "link-down seen " << latency.count() << " ms after the kill\n";

    std::vector<ActiveConnection> connections;
    bool answered = remote.enumConnections(connections);
    EXPECT_TRUE(!answered || connections.empty());
    EXPECT_FALSE(backend->networkReachable());
    EXPECT_EQ(backend->dial("demo", "demo", kLabEntry).handle, 0u);
}

#ifndef _WIN32
TEST(LabDial, AHungLabAcEndsEveryConnection) {
    testing::LabAcProcess process({"--port", "0"});
    ASSERT_NE(process.port(), 0) << process.startOutput();
    auto backend = makeLabDialBackend(process.endpoint());
    RemoteAccess& remote = backend->remoteAccess();
    ConnHandle handle = backend->dial("demo", "demo", kLabEntry).handle;
    ASSERT_NE(handle, 0u);
    auto ended = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(handle, ended));

    process.suspend();
    EXPECT_TRUE(ended->wait(3 * kPatienceMs));
    EXPECT_FALSE(backend->networkReachable());
}
#endif

}  // namespace
}  // namespace tarnix
