// Lab mode end to end on Windows: CConnectManage reads LinkAgent.ini, dials lab-ac
// running as its own process, and the remote-access view follows the link, up to
// lab-ac being killed.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "../support/lab_Process.h"
#include "../support/lab_Server.h"
#include "dial/ConnectManage.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::InProcessLabAc;
using testing::LabAcProcess;
constexpr std::uint32_t kPatienceMs = 10000;

class LabConnectManage : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tarnix-lab-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        std::ofstream(folder_ / "accounts.txt", std::ios::binary) << "demo demo\r\nbroken\r\n";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void writeLinkAgent(const std::string& body) {
        std::ofstream(folder_ / "LinkAgent.ini", std::ios::binary) << "[LinkAgent]\r\n" << body;
    }

    static void dialWith(CConnectManage& manage, std::string user, std::string password) {
        std::string entry = kDialEntryName;
        manage.SetConnectType(1);
        manage.SetConnectInfo(user.data(), password.data(), entry.data());
    }

    fs::path folder_;
};

int collectEntry(char* name, void* param) {
    static_cast<std::vector<std::string>*>(param)->push_back(name);
    return 0;
}

TEST_F(LabConnectManage, DialsFollowsAndLosesTheLink) {
    LabAcProcess labAc({"--port", "0", "--accounts", (folder_ / "accounts.txt").string()});
    ASSERT_NE(labAc.port(), 0) << "lab-ac at " << testing::labAcProgram()
                               << " did not start: " << labAc.startOutput();
    EXPECT_NE(labAc.startOutput().find("line 2: skipped"), std::string::npos)
        << labAc.startOutput();
    writeLinkAgent("Mode=lab\r\nConcentrator=" + labAc.endpoint() + "\r\n");

    CConnectManage manage(folder_, systemDialing());
    EXPECT_EQ(manage.mode(), "lab");
    std::vector<std::string> entries;
    manage.InsertEntryName(collectEntry, nullptr, &entries);
    manage.EnumEntry();
    EXPECT_EQ(entries, std::vector<std::string>{kDialEntryName});

    int reachable = 0;
    for (int i = 0; i < 100 && !reachable; ++i) {
        reachable = manage.CheckNetType();
        if (!reachable) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(reachable, 1);
    EXPECT_EQ(manage.CheckNet(), 0);

    RemoteAccess& remote = manage.remoteAccess();
    auto connected = remote.createEvent();
    ASSERT_TRUE(remote.notifyConnection(connected));

    // A wrong password is refused as the provider refuses it.
    dialWith(manage, "demo", "wrong");
    EXPECT_EQ(manage.Connect(), 0);
    EXPECT_FALSE(connected->wait(0));

    dialWith(manage, "demo", "demo");
    ASSERT_NE(manage.Connect(), 0);
    EXPECT_TRUE(connected->wait(kPatienceMs));
    EXPECT_EQ(manage.CheckNet(), 1);
    std::vector<ActiveConnection> live;
    ASSERT_TRUE(remote.enumConnections(live));
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live[0].entryName, kDialEntryName);
    std::string address;
    ASSERT_TRUE(remote.ipAddress(live[0].handle, address));
    EXPECT_EQ(address, "10.64.0.10");
    LinkStatistics before, after;
    ASSERT_TRUE(remote.statistics(live[0].handle, before));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(remote.statistics(live[0].handle, after));
    EXPECT_GT(after.bytesSent, before.bytesSent);
    EXPECT_GT(after.bytesReceived, before.bytesReceived);

    // The administrator drops the session: the drop notification fires.
    auto dropped = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(live[0].handle, dropped));
    EXPECT_EQ(InProcessLabAc::askAt(labAc.port(), "DROP all"), "OK 1 dropped\n");
    EXPECT_TRUE(dropped->wait(kPatienceMs));
    EXPECT_EQ(manage.CheckNet(), 0);
    manage.SetHrasconnNull();

    // Close ends the session at lab-ac.
    ASSERT_NE(manage.Connect(), 0);
    EXPECT_NE(InProcessLabAc::askAt(labAc.port(), "LIST").find("END 1"), std::string::npos);
    manage.Close();
    EXPECT_EQ(InProcessLabAc::askAt(labAc.port(), "LIST"), "END 0\n");
    EXPECT_EQ(manage.CheckNet(), 0);

    // Killing lab-ac drops the link.
    ASSERT_NE(manage.Connect(), 0);
    ASSERT_TRUE(remote.enumConnections(live));
    ASSERT_EQ(live.size(), 1u);
    auto lost = remote.createEvent();
    ASSERT_TRUE(remote.notifyDisconnection(live[0].handle, lost));
    auto killed = std::chrono::steady_clock::now();
    labAc.kill();
    ASSERT_TRUE(lost->wait(kPatienceMs));
    std::cout << "link-down seen "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - killed)
                     .count()
              << " ms after the kill\n";
    EXPECT_EQ(manage.CheckNet(), 0);
    EXPECT_EQ(manage.CheckNetType(), 0);
    EXPECT_EQ(manage.Connect(), 0);
}

TEST_F(LabConnectManage, UnreachableConcentratorOrUnknownModeNeverConnects) {
    std::uint16_t closedPort;
    {
        Socket probe = Socket::listenTcp("127.0.0.1", 0);
        closedPort = probe.localPort();
    }
    for (std::string body :
         {"Mode=lab\r\nConcentrator=127.0.0.1:" + std::to_string(closedPort) + "\r\n",
          std::string("Mode=lab\r\nConcentrator=not an address\r\n"),
          std::string("Mode=carrier-pigeon\r\n")}) {
        writeLinkAgent(body);
        CConnectManage manage(folder_, systemDialing());
        dialWith(manage, "demo", "demo");
        EXPECT_EQ(manage.Connect(), 0) << body;
        EXPECT_EQ(manage.CheckNet(), 0) << body;
        manage.Close();
    }
}

}  // namespace
}  // namespace tarnix
