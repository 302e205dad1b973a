// The dial controller over fakes: the state it shows, the records it keeps, the notices it
// sends and the redials it makes, for each way a link comes up and goes down.
#include <gtest/gtest.h>

#include "../support/DialRig.h"
#include "base/CodePage.h"
#include "dial/DialFailure.h"
#include "records/MonthFile.h"

namespace tarnix {
namespace {

using testing::DialRig;
using testing::eventually;
using testing::readRecordItems;

const std::string kNormal = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";    // 正常断开
const std::string kAbnormal = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";  // 非法断开
// "已经成功地建立了连接" and "欢迎使用澄远宽带拨号客户端", the status line's two texts.
const std::string kConnected =
    "\xd2\xd1\xbe\xad\xb3\xc9\xb9\xa6\xb5\xd8\xbd\xa8\xc1\xa2\xc1\xcb\xc1\xac\xbd\xd3";
const std::string kWelcome =
    "\xbb\xb6\xd3\xad\xca\xb9\xd3\xc3\xb3\xce\xd4\xb6\xbf\xed\xb4\xf8\xb2\xa6\xba\xc5"
    "\xbf\xcd\xbb\xa7\xb6\xcb";
using Events = std::vector<std::string>;

class Controller : public ::testing::Test {
  protected:
    DialRig rig_{"dial"};

    void setRedial(bool always, bool reconnect, const std::string& interval, int tries) {
        rig_.config->SetAlwaysConnect(always);
        rig_.config->SetReconnect(reconnect);
        rig_.config->SetRedial(interval, tries);
    }
    // Connects through the controller and waits until the monitors follow the link.
    void connectAs(const std::string& account, const std::string& password) {
        rig_.controller->connect({account, password});
        ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    }
    std::vector<testing::RecordItem> items() { return readRecordItems(rig_.recordFile()); }
};

TEST_F(Controller, AConnectCommandDialsOpensARecordSendsNoticesAndShowsTheLink) {
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    connectAs("alice", "secret");

    auto dials = rig_.backend->dialled();
    ASSERT_EQ(dials.size(), 1u);
    EXPECT_EQ(dials[0].user, "alice");
    EXPECT_EQ(dials[0].password, "secret");
    EXPECT_EQ(dials[0].entry, kDialEntryName);
    EXPECT_TRUE(std::filesystem::is_directory(rig_.folder / "data" / "record"));

    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].user, "alice");
    EXPECT_EQ(records[0].start, "2009-03-01 08:05:09");
    EXPECT_EQ(records[0].ip, "10.1.0.1");
    EXPECT_EQ(records[0].end, "");

    EXPECT_TRUE(eventually([&] { return rig_.notices.sent().size() == 2; }));
    EXPECT_EQ(rig_.notices.sent(), (Events{"offline alice", "online alice"}));
    EXPECT_EQ(rig_.view.events(), (Events{"dialling", "up", "connected"}));
    EXPECT_EQ(rig_.view.status(), kConnected);
    EXPECT_TRUE(controller.connectedState());
    EXPECT_EQ(controller.session().ownDial, 0);
}

TEST_F(Controller, ADialUnderWayIsShownAndOneTheUserStopsEndsWithoutAFailure) {
    auto& controller = rig_.make();
    controller.startMonitors();
    rig_.backend->holdDials(true);
    controller.connect({"vera", "pw"});
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 1; }));
    EXPECT_EQ(rig_.view.events(), Events{"dialling"});
    EXPECT_EQ(rig_.view.status(), "(dialling)");
    EXPECT_FALSE(controller.connectedState());

    // The user disconnects, and the line gives the dial up.
    controller.disconnectCommand("vera");
    rig_.backend->failure = 678;
    rig_.backend->plan({false});
    rig_.backend->holdDials(false);
    ASSERT_TRUE(eventually([&] { return rig_.view.events().size() == 2; }));
    EXPECT_EQ(rig_.view.events(), (Events{"dialling", "disconnected"})) << "no failure told";
    EXPECT_EQ(rig_.view.status(), kWelcome);
    controller.stopMonitors();
    for (const auto& notice : rig_.notices.sent()) EXPECT_NE(notice, "online vera");
}

TEST_F(Controller, ADisconnectClosesTheRecordNormallyWithTheCountersAndNeverRedials) {
    setRedial(true, true, "5", 3);
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("bob", "pw");
    rig_.access.setStatistics(rig_.live(), {0x80000000u, 12345, 0, 0});
    rig_.view.clear();

    controller.disconnectCommand("bob");
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cause, kNormal);
    EXPECT_EQ(records[0].end, "2009-03-01 08:05:09");
    EXPECT_EQ(records[0].sent, "-2147483648");
    EXPECT_EQ(records[0].received, "12345");
    EXPECT_EQ(rig_.view.events(), (Events{"down", "disconnected"}));
    EXPECT_EQ(rig_.view.status(), kWelcome);
    EXPECT_EQ(rig_.notices.sent().back(), "offline bob");
    EXPECT_EQ(controller.session().userHangUp, 1);

    controller.stopMonitors();
    EXPECT_EQ(rig_.backend->dialled().size(), 1u) << "the drop after a disconnect is no event";
    EXPECT_EQ(items().size(), 1u);
}

TEST_F(Controller, TheOfflineNoticeNamesTheDialledAccountNotWhatTheFormHoldsNow) {
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("nina", "pw");
    ASSERT_TRUE(eventually([&] { return rig_.notices.sent().size() == 2; }));
    controller.disconnectCommand("olga");  // the account box was edited meanwhile
    ASSERT_TRUE(eventually([&] { return rig_.notices.sent().size() == 3; }));
    EXPECT_EQ(rig_.notices.sent().back(), "offline nina");

    // A link another program dialled has no account of ours: the form's is all there is.
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    rig_.access.connect(kDialEntryName);
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    controller.disconnectCommand("olga");
    ASSERT_TRUE(eventually([&] { return rig_.notices.sent().size() == 4; }));
    EXPECT_EQ(rig_.notices.sent().back(), "offline olga");
}

TEST_F(Controller, AHangUpTellsTheServerOfflineOnlyAfterTheDialsOnlineNotice) {
    std::atomic<bool> held{true};
    rig_.notices.beforeOnline = [&] { eventually([&] { return !held; }); };
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("pia", "pw");
    controller.disconnectCommand("pia");
    // The hang-up waits for the on-line notice, however late its thread is.
    EXPECT_FALSE(eventually([&] { return !rig_.backend->hungUp().empty(); },
                            std::chrono::milliseconds(300)));
    held = false;
    ASSERT_TRUE(eventually([&] { return rig_.notices.sent().size() == 3; }));
    EXPECT_EQ(rig_.notices.sent(), (Events{"offline pia", "online pia", "offline pia"}));
}

TEST_F(Controller, ADropClosesTheRecordAbnormallyAndAlwaysconnectRedialsUntilADialSucceeds) {
    setRedial(true, false, "5", 3);
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("carol", "pw");
    rig_.view.clear();
    rig_.backend->plan({false, false, true});

    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 4; }));
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    EXPECT_EQ(rig_.pauses(), (std::vector<std::uint32_t>{1000, 1000}))
        << "dials that fail at once are repeated once a second";

    auto records = items();
    ASSERT_EQ(records.size(), 2u) << "failed attempts leave no record";
    EXPECT_EQ(records[0].ip, "10.1.0.2");
    EXPECT_EQ(records[0].end, "");
    EXPECT_EQ(records[1].cause, kAbnormal);
    EXPECT_EQ(rig_.view.events(), (Events{"down", "disconnected", "redialling 1/0",
                                          "redialling 2/0", "redialling 3/0", "up",
                                          "connected"}))
        << "each attempt says which it is";
    EXPECT_EQ(rig_.view.status(), kConnected);
}

TEST_F(Controller, AFailedConnectSaysWhyAndARedialsFailuresOnlyUpdateTheStatusLine) {
    setRedial(false, true, "5", 2);
    auto& controller = rig_.make();
    controller.startMonitors();
    rig_.backend->failure = 691;
    rig_.backend->plan({false});
    controller.connect({"mia", "wrong"});
    const std::string refused = wideToGb(dialFailureText(691));
    ASSERT_TRUE(eventually([&] { return rig_.view.status() == refused; }));
    EXPECT_EQ(rig_.view.events(), (Events{"dialling", "disconnected", "failed " + refused}));
    EXPECT_EQ(rig_.connectManage->LastError(), 691);
    EXPECT_FALSE(controller.connectedState());
    EXPECT_TRUE(items().empty());

    connectAs("mia", "right");
    EXPECT_EQ(rig_.connectManage->LastError(), 0);
    ASSERT_TRUE(eventually([&] { return rig_.notices.sent().size() >= 2; }));
    EXPECT_EQ(rig_.notices.sent(), (Events{"offline mia", "online mia"}))
        << "the refused dial announced nothing";
    rig_.view.clear();
    rig_.backend->failure = 678;
    rig_.backend->plan({false, false});
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 4; }));
    ASSERT_TRUE(eventually([&] { return rig_.view.events().size() == 5; }));
    EXPECT_EQ(rig_.view.status(), wideToGb(dialFailureText(678))) << "the last attempt's failure stays";
    controller.stopMonitors();
    EXPECT_EQ(rig_.view.events(), (Events{"down", "disconnected", "redialling 1/2",
                                          "redialling 2/2", "disconnected"}))
        << "a redial's failure is no notice; the commands are back after the last";
}

TEST_F(Controller, ReconnectMakesAtMostItsTriesTheIntervalApart) {
    setRedial(false, true, "10", 3);
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("dave", "pw");
    rig_.backend->plan({false, false, false, true});

    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.pauses().size() == 2; }));
    controller.stopMonitors();
    EXPECT_EQ(rig_.backend->dialled().size(), 4u) << "the first dial and three attempts";
    EXPECT_EQ(rig_.pauses(), (std::vector<std::uint32_t>{10000, 10000}));
    EXPECT_EQ(items().size(), 1u);
    EXPECT_EQ(controller.runningThreads(), 0);
}

TEST_F(Controller, TurningReconnectOffDuringTheAttemptsLetsTheRestPassWithoutDialling) {
    setRedial(false, true, "10", 5);
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("erin", "pw");
    rig_.backend->plan({false, false, false});
    rig_.onSleep = [&] { rig_.config->SetReconnect(false); };

    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.pauses().size() == 1; }));
    controller.stopMonitors();
    EXPECT_EQ(rig_.backend->dialled().size(), 2u) << "the first dial and one attempt";
}

TEST_F(Controller, RedialSettingsAreReadAtStartSoAPolicyTurnedOnLaterHasThem) {
    setRedial(false, false, "7", 2);
    auto& controller = rig_.make();
    controller.startMonitors();
    EXPECT_EQ(controller.retryCount(), 2);
    EXPECT_EQ(controller.retryIntervalSeconds(), 7);
    connectAs("fay", "pw");  // Reconnect is off: the command does not read them again
    rig_.config->SetReconnect(true);
    rig_.backend->plan({false, false});

    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 3; }));
    controller.stopMonitors();
    EXPECT_EQ(rig_.pauses(), std::vector<std::uint32_t>{7000});
}

TEST_F(Controller, ACountPlacedBeforeTheIntervalIsNotFound) {
    auto lock = rig_.config->Lock();
    auto& doc = rig_.config->Document();
    doc.SetDocText(
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
        "<RedialTrytimes>4</RedialTrytimes>\r\n<RedialTimegrap>9x</RedialTimegrap>\r\n"
        "</CONFIG>\r\n");
    auto& controller = rig_.make();
    controller.readRedialSettings();
    EXPECT_EQ(controller.retryCount(), 0);
    EXPECT_EQ(controller.retryIntervalSeconds(), 9);
}

// Another connection of the same name (the all-users phonebook's entry, dialled by another
// program) listed before the one the dial made is not taken for it.
TEST_F(Controller, TheSessionIsTheConnectionTheDialMadeNotTheFirstOfItsName) {
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    ConnHandle other = 0;
    rig_.backend->duringDial = [&] { other = rig_.access.connect(kDialEntryName, "10.9.9.9"); };
    connectAs("ann", "pw");
    ASSERT_NE(other, 0u);
    EXPECT_NE(controller.session().currentConnection, other);
    EXPECT_EQ(controller.session().currentConnection, rig_.connectManage->Connection());
    ASSERT_EQ(items().size(), 1u);
    EXPECT_EQ(items()[0].ip, "10.1.0.1");
}

TEST_F(Controller, ALinkFoundAtStartIsAdoptedAndItsDropClosesTheOpenRecordAbnormally) {
    // The last run ended while connected and left its record open.
    std::filesystem::create_directories(rig_.recordFile().parent_path());
    std::ofstream(rig_.recordFile(), std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n"
           "<ITEM user=\"gus\" start_time=\"2009-03-01 07:00:00\" end_time=\"\" ip=\"10.9.9.9\" "
           "error_code=\"\" send=\"\" recv=\"\"/>\r\n</record>\r\n";
    ConnHandle link = rig_.access.connect(kDialEntryName);
    rig_.access.connect("someone_elses_vpn");
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    EXPECT_EQ(controller.session().currentConnection, link);
    EXPECT_EQ(rig_.view.events(), Events{"connected"}) << "no notice, no status at start";
    EXPECT_EQ(rig_.view.status(), "");

    rig_.access.drop(link);
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cause, kAbnormal);
    EXPECT_EQ(rig_.view.status(), kWelcome);
}

// The record a killed run left open is closed at start when its link is gone; a live
// session's counters are saved into its open record as it goes.
TEST_F(Controller, ADeadRunsRecordIsClosedAtStartAndALiveSessionIsSavedAsItGoes) {
    std::filesystem::create_directories(rig_.recordFile().parent_path());
    std::ofstream(rig_.recordFile(), std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n"
           "<ITEM user=\"gus\" start_time=\"2009-03-01 07:00:00\" end_time=\"\" ip=\"\" "
           "error_code=\"\" send=\"\" recv=\"\"/>\r\n</record>\r\n";
    rig_.progressSaveMs = 20;
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].end, "2009-03-01 07:00:00");
    EXPECT_EQ(records[0].cause, kAbnormal);

    connectAs("ann", "pw");
    rig_.access.setStatistics(controller.session().currentConnection, {1234, 5678, 0, 0});
    EXPECT_TRUE(eventually([&] { return items()[0].received == "5678"; }));
    EXPECT_EQ(items()[0].end, "") << "the record stays open";
    EXPECT_EQ(items()[0].sent, "1234");
}

TEST_F(Controller, AForeignLinkIsAdoptedAndItsDropRunsThePolicy) {
    setRedial(true, false, "5", 1);
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("hal", "pw");
    controller.disconnectCommand("hal");
    ASSERT_TRUE(eventually([&] { return !rig_.connected() && rig_.live() == 0; }));
    rig_.view.clear();

    ConnHandle foreign = rig_.access.connect(kDialEntryName, "10.5.5.5");
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    EXPECT_EQ(rig_.view.events(), (Events{"up", "connected"}));
    EXPECT_EQ(rig_.view.status(), kConnected);
    EXPECT_EQ(items().size(), 1u) << "another program's link gets no record";

    rig_.access.drop(foreign);
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 2; }));
    EXPECT_EQ(rig_.backend->dialled()[1].user, "hal");
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    auto records = items();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].cause, kNormal) << "a closed record is never rewritten";
    EXPECT_EQ(records[0].end, "");
}

TEST_F(Controller, ALinkStillBeingDialledIsAdoptedOnlyOnceItIsConnected) {
    // Another program is dialling the entry as the client starts...
    ConnHandle early = rig_.access.dialling(kDialEntryName);
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    EXPECT_EQ(controller.session().currentConnection, 0u);
    int looked = rig_.access.enumerations();
    ASSERT_TRUE(eventually([&] { return rig_.access.enumerations() > looked + 2; }));
    rig_.view.mark("connected by the other program");
    rig_.access.complete(early);
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    EXPECT_EQ(rig_.view.events(), (Events{"connected by the other program", "up", "connected"}));

    // ...and again later, while another connection's notice wakes the monitor.
    rig_.access.drop(early);
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    rig_.view.clear();
    ConnHandle later = rig_.access.dialling(kDialEntryName);
    looked = rig_.access.enumerations();
    rig_.access.connect("office_vpn");
    ASSERT_TRUE(eventually([&] { return rig_.access.enumerations() > looked + 2; }));
    rig_.view.mark("connected by the other program");
    rig_.access.complete(later);
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    EXPECT_EQ(rig_.view.events(), (Events{"connected by the other program", "up", "connected"}));
    EXPECT_EQ(controller.session().currentConnection, later);
}

TEST_F(Controller, WithoutAConnectCommandThereIsNothingToRedialWith) {
    setRedial(true, false, "5", 1);
    ConnHandle foreign = rig_.access.connect(kDialEntryName);
    auto& controller = rig_.make();
    controller.startMonitors();
    rig_.access.drop(foreign);
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    controller.stopMonitors();
    EXPECT_TRUE(rig_.backend->dialled().empty());
}

TEST_F(Controller, AConnectRightAfterADisconnectDialsBeforeTheDropIsSignalled) {
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("sam", "pw");
    rig_.access.holdDropSignals(true);
    controller.disconnectCommand("sam");
    controller.connect({"sam", "pw"});
    EXPECT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 2; }))
        << "the hung-up link no longer counts as up";
    rig_.access.holdDropSignals(false);

    ASSERT_TRUE(eventually([&] { return rig_.connected() && rig_.live() != 0; }));
    EXPECT_EQ(controller.session().currentConnection, rig_.live());
    EXPECT_TRUE(controller.connectedState());
    auto records = items();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].end, "");
    EXPECT_EQ(records[1].cause, kNormal);

    // The late signal of the first link's end changes nothing; the new link is followed.
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    EXPECT_EQ(items()[0].cause, kAbnormal);
}

// A flood of other programs' links coming and going (a thousand in about a second) wakes
// the connect monitor each time; nothing of it is shown or recorded, the monitors go back
// to sleep, and a command afterwards is served at once.
TEST_F(Controller, AFloodOfOtherLinksChangesNothingAndTheNextCommandIsServed) {
    auto& controller = rig_.make();
    ASSERT_EQ(controller.startMonitors(), 0);
    for (int i = 0; i < 1000; ++i) {
        const ConnHandle other = rig_.access.add("OtherEntry", "10.9.0.1", false);
        rig_.access.drop(other);
    }
    EXPECT_TRUE(eventually([&] { return controller.runningThreads() == 2; }));
    EXPECT_TRUE(rig_.view.events().empty());
    EXPECT_FALSE(rig_.connected());

    connectAs("jan", "pw");
    EXPECT_EQ(rig_.view.events(), (Events{"dialling", "up", "connected"}));
    EXPECT_EQ(items().size(), 1u);
    controller.stopMonitors();
}

TEST_F(Controller, ConnectingWhileConnectedDialsNothing) {
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("ida", "pw");
    controller.connect({"ida", "pw"});
    controller.stopMonitors();
    EXPECT_EQ(rig_.backend->dialled().size(), 1u);
    EXPECT_EQ(items().size(), 1u);
}

TEST_F(Controller, AConnectRefusedWhileALinkIsUpChangesNeitherTheRedialNorTheSavedAccount) {
    setRedial(true, false, "5", 1);
    auto& controller = rig_.make();
    controller.startMonitors();
    AccountForm form(*rig_.config);
    ASSERT_TRUE(controller.connectCommand(form, {"quinn", "pw1", 1}));
    ASSERT_TRUE(eventually([&] { return rig_.connected(); }));
    std::vector<std::string> names, passwords;
    rig_.config->ListAccounts(kDialEntryName, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"quinn"}) << "an accepted dial saves its account";

    ASSERT_TRUE(controller.connectCommand(form, {"rita", "pw2", 1}));
    ASSERT_TRUE(eventually([&] { return controller.runningThreads() == 2; }));
    rig_.config->ListAccounts(kDialEntryName, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"quinn"});
    names.clear();
    rig_.config->GetLastAccount(names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"quinn"});

    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 2; }));
    EXPECT_EQ(rig_.backend->dialled()[1].user, "quinn") << "the session redials as it dialled";
    EXPECT_EQ(rig_.backend->dialled()[1].password, "pw1");
}

TEST_F(Controller, WithoutADialLibraryCommandsDoNothing) {
    auto& controller = rig_.make(false);
    controller.startMonitors();
    controller.connect({"jo", "pw"});
    controller.disconnectCommand("jo");
    controller.stopMonitors();
    EXPECT_TRUE(rig_.backend->dialled().empty());
    EXPECT_TRUE(rig_.backend->hungUp().empty());
    EXPECT_TRUE(items().empty());
}

TEST_F(Controller, ALinkDialledByHandDuringTheRedialPauseIsFollowedToItsEnd) {
    setRedial(false, true, "1000", 3);
    rig_.realPauses = true;
    auto& controller = rig_.make();
    controller.startMonitors();
    connectAs("tom", "pw");
    rig_.backend->plan({false});
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 2; }));

    // The first attempt failed; 1000 s to the next. The user dials meanwhile...
    connectAs("tom", "pw");
    rig_.view.clear();
    rig_.backend->plan({false});
    // ...and that link's drop is followed at once: its record closed, the commands shown.
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return !rig_.connected(); }));
    auto records = items();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].cause, kAbnormal);

    // A new policy run failed its first attempt; a connect during its pause still dials.
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 4; }));
    EXPECT_EQ(rig_.view.events(), (Events{"down", "disconnected", "redialling 1/3"}));
    connectAs("tom", "pw");
    EXPECT_EQ(rig_.backend->dialled().size(), 5u);
    controller.stopMonitors();
    EXPECT_EQ(items().size(), 3u);
}

TEST_F(Controller, StoppingEndsEveryThreadEvenInTheMiddleOfARealPause) {
    setRedial(false, true, "1000", 3);
    DialController::Services services;
    services.connectManage = rig_.connectManage.get();
    services.remoteAccess = &rig_.access;
    services.config = rig_.config.get();
    services.view = &rig_.view;
    services.recordFolder = recordFolderBeside(rig_.folder);
    services.clock = &rig_.clock;
    DialController controller(std::move(services));  // with the real pause
    controller.startMonitors();
    controller.connect({"kay", "pw"});
    ASSERT_TRUE(eventually([&] { return controller.session().currentConnection != 0; }));
    rig_.backend->plan({false, false, false});
    rig_.access.drop(rig_.live());
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 2; }));

    auto start = std::chrono::steady_clock::now();
    controller.stopMonitors();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "not the 1000 s pause";
    EXPECT_EQ(controller.runningThreads(), 0);
}

TEST_F(Controller, StoppingAbandonsADialInProgressAndNothingOfItFollows) {
    auto& controller = rig_.make();
    controller.startMonitors();
    rig_.backend->holdDials(true);
    controller.connect({"uma", "pw"});
    ASSERT_TRUE(eventually([&] { return rig_.backend->dialled().size() == 1; }));
    // Should the dial not be abandoned, the line answers after a while and the dial succeeds.
    std::atomic<bool> stopped{false};
    std::thread line([&] {
        eventually([&] { return stopped.load(); }, std::chrono::seconds(3));
        rig_.backend->holdDials(false);
    });
    controller.stopMonitors();
    stopped = true;
    line.join();
    EXPECT_EQ(rig_.connectManage->LastError(), kDialErrorAbandoned);
    EXPECT_EQ(rig_.view.events(), Events{"dialling"}) << "no link-up, no failure shown";
    EXPECT_EQ(rig_.view.status(), "(dialling)");
    EXPECT_TRUE(rig_.notices.sent().empty());
    EXPECT_TRUE(items().empty());
    EXPECT_EQ(rig_.connectManage->Connect(), 0) << "no dial once the program is ending";
}

TEST_F(Controller, ADialThatLosesItsLinkAtOnceClosesItsRecordAbnormally) {
    auto& controller = rig_.make();
    controller.startMonitors();
    // The library reports success but the link is already gone when it is looked at.
    rig_.backend->plan({true});
    std::thread dropper([&] {
        eventually([&] { return rig_.live() != 0; });
        rig_.access.drop(rig_.live());
    });
    controller.connect({"lee", "pw"});
    dropper.join();
    // Whether the drop came before the link was followed or after, the record is closed.
    ASSERT_TRUE(eventually([&] {
        auto records = items();
        return records.size() == 1 && !records[0].end.empty();
    }));
    controller.stopMonitors();
    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cause, kAbnormal);
}

}  // namespace
}  // namespace tarnix
