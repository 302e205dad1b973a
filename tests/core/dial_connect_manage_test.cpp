// The dial library's contract with its callers, over a fake remote-access service.
#include <gtest/gtest.h>

#include <fstream>

#include "dial/ConnectManage.h"
#include "../support/FakeRemoteAccess.h"

using namespace tarnix;
using namespace tarnix::testing;

namespace {

char* text(std::string& s) {
    return s.data();
}

class ConnectManageTest : public ::testing::Test {
  protected:
    ConnectManageTest() {
        auto backend = std::make_unique<FakeDialBackend>(access_);
        backend_ = backend.get();
        manage_ = std::make_unique<CConnectManage>(std::move(backend));
    }
    void dialAs(std::string user, std::string password) {
        std::string entry = kDialEntryName;
        manage_->SetConnectType(1);
        manage_->SetConnectInfo(text(user), text(password), text(entry));
    }

    FakeRemoteAccess access_;
    FakeDialBackend* backend_;
    std::unique_ptr<CConnectManage> manage_;
};

TEST_F(ConnectManageTest, EnumEntryCallsTheCallbackOncePerEntryBeforeReturning) {
    backend_->entries = {"pppoe_brelvan_default_entry", "office vpn", "PPPoE 2"};
    std::vector<std::string> seen;
    manage_->InsertEntryName(
        [](char* name, void* param) {
            static_cast<std::vector<std::string>*>(param)->push_back(name);
            return 0;
        },
        nullptr, &seen);
    manage_->EnumEntry();
    EXPECT_EQ(seen, backend_->entries);
}

TEST_F(ConnectManageTest, ConnectDialsTheStoredAccountAndReportsTheResult) {
    dialAs("alice", "secret");
    EXPECT_NE(manage_->Connect(), 0);
    ASSERT_EQ(backend_->dials.size(), 1u);
    EXPECT_EQ(backend_->dials[0].user, "alice");
    EXPECT_EQ(backend_->dials[0].password, "secret");
    EXPECT_EQ(backend_->dials[0].entry, kDialEntryName);
    EXPECT_EQ(manage_->CheckNet(), 1);

    backend_->script = {false};
    EXPECT_EQ(manage_->Connect(), 0);
}

TEST_F(ConnectManageTest, OnlyConnectTypeOneDials) {
    dialAs("alice", "secret");
    manage_->SetConnectType(2);
    EXPECT_EQ(manage_->Connect(), 0);
    EXPECT_TRUE(backend_->dials.empty());
}

TEST_F(ConnectManageTest, CheckNetLooksForAConnectedLinkOfTheEntryByExactName) {
    access_.connect("PPPOE_BRELVAN_DEFAULT_ENTRY");
    access_.connect("office vpn");
    EXPECT_EQ(manage_->CheckNet(), 0);
    ConnHandle dialling = access_.dialling(kDialEntryName);
    EXPECT_EQ(manage_->CheckNet(), 0) << "not yet established";
    access_.complete(dialling);
    EXPECT_EQ(manage_->CheckNet(), 1);
    access_.failEnumeration(true);
    EXPECT_EQ(manage_->CheckNet(), 0);
}

TEST_F(ConnectManageTest, CloseHangsUpOwnAndAdoptedConnectionsOfTheEntryOnly) {
    ConnHandle other = access_.connect("office vpn");
    ConnHandle adopted = access_.connect(kDialEntryName);
    manage_->Close();
    EXPECT_EQ(backend_->hangUps, std::vector<ConnHandle>{adopted});
    EXPECT_EQ(manage_->CheckNet(), 0);

    dialAs("alice", "secret");
    ASSERT_NE(manage_->Connect(), 0);
    manage_->Close();
    EXPECT_EQ(backend_->hangUps.size(), 2u);
    EXPECT_EQ(access_.connectionCount(), 1u);  // the other entry's link stays up
    (void)other;
}

TEST_F(ConnectManageTest, AForgottenHandleIsNotHungUpTwice) {
    dialAs("alice", "secret");
    ASSERT_NE(manage_->Connect(), 0);
    std::vector<ActiveConnection> live;
    ASSERT_TRUE(access_.enumConnections(live, 10));
    ASSERT_EQ(live.size(), 1u);
    access_.drop(live[0].handle);  // the link drops by itself
    manage_->SetHrasconnNull();
    manage_->Close();
    EXPECT_TRUE(backend_->hangUps.empty());
}

TEST_F(ConnectManageTest, CheckNetTypeFollowsTheBackend) {
    EXPECT_EQ(manage_->CheckNetType(), 1);
    backend_->reachable = false;
    EXPECT_EQ(manage_->CheckNetType(), 0);
}

int rasBackendsMade = 0;
std::unique_ptr<DialBackend> countedRasBackend() {
    ++rasBackendsMade;
    return makeNullDialBackend();
}

TEST(DialMode, ComesFromLinkAgentIni) {
    auto folder = std::filesystem::temp_directory_path() / "tarnix-mode-test";
    std::filesystem::create_directories(folder);
    std::string mode;
    const DialSystem machine{systemProfile(), countedRasBackend};

    std::filesystem::remove(folder / "LinkAgent.ini");
    makeDialBackend(folder, machine, &mode);
    EXPECT_EQ(mode, "ras") << "no file means the real service";
    EXPECT_EQ(rasBackendsMade, 1) << "the service the machine was passed in with";

    std::ofstream(folder / "LinkAgent.ini") << "[LinkAgent]\r\nMode=carrier-pigeon\r\n";
    CConnectManage unknown(folder, machine);
    EXPECT_EQ(unknown.mode(), "carrier-pigeon");
    std::string user = "alice", password = "x", entry = kDialEntryName;
    unknown.SetConnectInfo(user.data(), password.data(), entry.data());
    EXPECT_EQ(unknown.Connect(), 0) << "an unknown mode dials nothing";
    EXPECT_EQ(unknown.CheckNet(), 0);

    std::ofstream(folder / "LinkAgent.ini") << "[linkagent]\r\n mode = lab \r\n";
    makeDialBackend(folder, machine, &mode);
    EXPECT_EQ(mode, "lab") << "names and values as the profile functions read them";
    EXPECT_EQ(rasBackendsMade, 1) << "other modes leave the remote-access service alone";
    std::filesystem::remove_all(folder);
}

}  // namespace
