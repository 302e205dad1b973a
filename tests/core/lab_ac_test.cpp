// lab-ac: its accounts file, address pool, line protocol and administrator commands.

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "../support/DialRig.h"
#include "../support/lab_Server.h"
#include "Accounts.h"
#include "AddressPool.h"
#include "base/Socket.h"
#include "messageserver/MessageChannel.h"

namespace tarnix {
namespace {

using labac::Accounts;
using labac::AddressPool;
using testing::InProcessLabAc;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The next line of a watch other than its keep-alive ticks.
LineReader::Result nextWatchLine(LineReader& reader, std::string& line) {
    LineReader::Result result;
    do {
        result = reader.readLine(line, 5000);
    } while (result == LineReader::Result::Line && line == "TICK");
    return result;
}

TEST(LabAcAccounts, BadLinesAreSkippedWithTheirNumbers) {
    std::istringstream file(
        "# lab accounts\r\n"
        "demo demo\r\n"
        "\r\n"
        "lonely\n"
        "too many fields\n"
        "\xD5\xC5\xC8\xFD secret\n"  // a GB2312 account name
        "demo other\n");
    std::vector<std::string> warnings;
    Accounts accounts = Accounts::parse(file, warnings);
    EXPECT_EQ(accounts.size(), 2u);
    EXPECT_TRUE(accounts.accepts("demo", "demo"));
    EXPECT_FALSE(accounts.accepts("demo", "other"));
    EXPECT_TRUE(accounts.accepts("\xD5\xC5\xC8\xFD", "secret"));
    EXPECT_FALSE(accounts.accepts("lonely", ""));
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0].rfind("line 4:", 0), 0u) << warnings[0];
    EXPECT_EQ(warnings[1].rfind("line 5:", 0), 0u) << warnings[1];
    EXPECT_EQ(warnings[2].rfind("line 7:", 0), 0u) << warnings[2];

    Accounts missing;
    std::string error;
    EXPECT_FALSE(Accounts::load("/nonexistent/accounts.txt", missing, warnings, error));
    EXPECT_NE(error.find("accounts.txt"), std::string::npos);
}

TEST(LabAcAddressPool, HandsOutTheLowestFreeAddress) {
    AddressPool pool;
    ASSERT_TRUE(AddressPool::parse("10.0.0.254-10.0.1.0", pool));
    EXPECT_EQ(pool.take(), "10.0.0.254");
    EXPECT_EQ(pool.take(), "10.0.0.255");
    EXPECT_EQ(pool.take(), "10.0.1.0");
    EXPECT_EQ(pool.take(), "");
    pool.give("10.0.0.255");
    EXPECT_EQ(pool.take(), "10.0.0.255");

    for (const char* bad : {"", "10.0.0", "10.0.0.1-", "10.0.0.9-10.0.0.1", "256.0.0.1",
                            "10.0.0.1.5", "10.0.0.0-10.2.0.0", "a.b.c.d", "1..2.3"})
        EXPECT_FALSE(AddressPool::parse(bad, pool)) << bad;
}

TEST(LabAcProtocol, FieldsCarryAnyBytes) {
    for (std::string raw :
         {std::string("demo"), std::string("pass word"), std::string("100%"),
          std::string("\xD5\xC5\xC8\xFD"), std::string("tab\there\r\n"), std::string()}) {
        std::string field = lab::encodeField(raw);
        EXPECT_EQ(field.find_first_of(" \r\n"), std::string::npos);
        std::string back;
        ASSERT_TRUE(lab::decodeField(field, back));
        EXPECT_EQ(back, raw);
    }
    std::string out;
    EXPECT_FALSE(lab::decodeField("abc%4", out));
    EXPECT_FALSE(lab::decodeField("%zz", out));
    EXPECT_FALSE(lab::decodeField("%", out));

    std::string host;
    std::uint16_t port = 0;
    EXPECT_TRUE(lab::parseEndpoint("127.0.0.1:5000", host, port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 5000);
    for (const char* bad : {"127.0.0.1", ":5000", "host:0", "host:65536", "host:x", ""})
        EXPECT_FALSE(lab::parseEndpoint(bad, host, port)) << bad;
}

TEST(LabAc, DialListAndHangUp) {
    InProcessLabAc ac;
    auto dialled = lines(ac.ask("DIAL demo demo pppoe_brelvan_default_entry"));
    ASSERT_EQ(dialled.size(), 1u);
    auto fields = lab::splitLine(dialled[0]);
    ASSERT_EQ(fields.size(), 3u) << dialled[0];
    EXPECT_EQ(fields[0], "OK");
    EXPECT_EQ(fields[2], "10.64.0.10");
    std::string handle = fields[1];

    // The session belongs to lab-ac: the dialling connection has closed, it stays up.
    auto listed = lines(ac.ask("LIST"));
    ASSERT_EQ(listed.size(), 2u);
    auto first = lab::splitLine(listed[0]);
    lab::SessionInfo session;
    ASSERT_TRUE(lab::parseSession(first, session));
    EXPECT_EQ(std::to_string(session.handle), handle);
    EXPECT_EQ(session.entry, "pppoe_brelvan_default_entry");
    EXPECT_EQ(session.account, "demo");
    EXPECT_EQ(listed[1], "END 1");

    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    lab::SessionInfo later;
    ASSERT_TRUE(lab::parseSession(lab::splitLine(lines(ac.ask("STATS " + handle))[0]), later));
    EXPECT_GT(later.bytesSent, session.bytesSent);
    EXPECT_GT(later.bytesReceived, session.bytesReceived);
    EXPECT_GT(later.durationMs, session.durationMs);

    EXPECT_EQ(ac.ask("HANGUP " + handle), "OK\n");
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");
    EXPECT_EQ(ac.ask("HANGUP " + handle).rfind("ERR 668", 0), 0u);
    EXPECT_EQ(ac.ask("STATS " + handle).rfind("ERR 668", 0), 0u);
}

TEST(LabAc, RefusesWrongPasswordsAndFullPools) {
    InProcessLabAc ac("10.1.1.1");
    EXPECT_EQ(ac.ask("DIAL demo wrong e").rfind("ERR 691 ", 0), 0u);
    EXPECT_EQ(ac.ask("DIAL nobody demo e").rfind("ERR 691 ", 0), 0u);
    EXPECT_TRUE(ac.logged("691"));
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("OK ", 0), 0u);
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("ERR 720 ", 0), 0u);
    EXPECT_NE(ac.ask("LIST").find("\nEND 1\n"), std::string::npos);
}

TEST(LabAc, MalformedLinesGetAnErrorAndTheServerStaysUp) {
    InProcessLabAc ac;
    Socket socket = Socket::connectTcp("127.0.0.1", ac.port(), 2000);
    ASSERT_TRUE(socket.valid());
    ASSERT_TRUE(
        socket.sendAll("nonsense\nDIAL demo\nDIAL de%ZZmo demo e\nHANGUP abc\n"
                       "REFUSE -1\nDOWN 0\nRATE 1\nDELAY 60001\n\n" +
                       std::string(3000, 'x') + "\n\x01\x02\xFF\nPING\n"));
    LineReader reader(socket);
    std::string line;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(reader.readLine(line, 5000), LineReader::Result::Line);
        EXPECT_EQ(line.rfind("ERR 87 ", 0), 0u) << line;
    }
    ASSERT_EQ(reader.readLine(line, 5000), LineReader::Result::Line);
    EXPECT_EQ(line, "PONG");
    EXPECT_EQ(ac.ask("ping"), "PONG\n");
}

TEST(LabAc, WatchersHearSessionsComeAndGo) {
    InProcessLabAc ac;
    ac.ask("DIAL demo demo first");
    Socket watch = Socket::connectTcp("127.0.0.1", ac.port(), 2000);
    ASSERT_TRUE(watch.sendAll("WATCH\n"));
    LineReader reader(watch);
    std::string line;
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    EXPECT_EQ(line.rfind("SESSION ", 0), 0u) << line;
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    EXPECT_EQ(line, "END 1");

    ac.ask("DIAL demo demo second");
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    lab::SessionInfo up;
    ASSERT_TRUE(lab::parseSession(lab::splitLine(line), up)) << line;
    EXPECT_EQ(up.entry, "second");

    EXPECT_EQ(ac.ask("DROP " + std::to_string(up.handle)), "OK 1 dropped\n");
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    EXPECT_EQ(line, "DOWN " + std::to_string(up.handle) + " admin");
    EXPECT_EQ(ac.ask("DROP demo"), "OK 1 dropped\n");
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    EXPECT_EQ(line.rfind("DOWN ", 0), 0u);
    EXPECT_EQ(ac.ask("DROP all"), "OK 0 dropped\n");

    // Nothing happens for a while: the watch still hears lab-ac.
    ASSERT_EQ(reader.readLine(line, 7000), LineReader::Result::Line);
    EXPECT_EQ(line, "TICK");
}

TEST(LabAc, RefusesTheNextDialsWhenTold) {
    InProcessLabAc ac;
    EXPECT_EQ(ac.ask("REFUSE 2 676"), "OK refusing 2\n");
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("ERR 676 ", 0), 0u);
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("ERR 676 ", 0), 0u);
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("OK ", 0), 0u);
    ac.ask("REFUSE 1");
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("ERR 678 ", 0), 0u);

    // Every error a client has words for, and any other number, can be asked for.
    for (int code : {608, 623, 633, 651, 668, 676, 678, 691, 720, 769, 815, 4242}) {
        const std::string number = std::to_string(code);
        EXPECT_EQ(ac.ask("REFUSE 1 " + number), "OK refusing 1\n");
        EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("ERR " + number + " ", 0), 0u) << code;
    }
    EXPECT_EQ(ac.ask("DIAL demo demo e").rfind("OK ", 0), 0u);
}

TEST(LabAc, ADelayedDialIsWithdrawnWhenItsRequesterGoes) {
    InProcessLabAc ac;
    EXPECT_EQ(ac.ask("DELAY 400"), "OK delaying 400 ms\n");

    // A request sent behind the dial waits its turn.
    Socket patient = Socket::connectTcp("127.0.0.1", ac.port(), 2000);
    ASSERT_TRUE(patient.sendAll("DIAL demo demo e\nPING\n"));
    LineReader reader(patient);
    std::string line;
    ASSERT_EQ(reader.readLine(line, 5000), LineReader::Result::Line);
    EXPECT_EQ(line.rfind("OK ", 0), 0u) << line;
    ASSERT_EQ(reader.readLine(line, 5000), LineReader::Result::Line);
    EXPECT_EQ(line, "PONG");
    EXPECT_TRUE(ac.logged("dialling demo (400 ms)"));

    // A requester that goes before the answer leaves no session behind.
    {
        Socket hasty = Socket::connectTcp("127.0.0.1", ac.port(), 2000);
        ASSERT_TRUE(hasty.sendAll("DIAL demo demo e\n"));
        ASSERT_TRUE(testing::eventually([&] { return ac.countLogged("dialling demo") == 2; }));
    }
    ASSERT_TRUE(testing::eventually([&] { return ac.logged("abandoned demo"); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));  // past the delay
    EXPECT_NE(ac.ask("LIST").find("\nEND 1\n"), std::string::npos) << "only the first";
}

TEST(LabAc, GoesDownAndComesBack) {
    InProcessLabAc ac;
    ac.ask("DIAL demo demo e");
    Socket watch = Socket::connectTcp("127.0.0.1", ac.port(), 2000);
    ASSERT_TRUE(watch.sendAll("WATCH\n"));
    LineReader reader(watch);
    std::string line;
    nextWatchLine(reader, line);  // the session
    nextWatchLine(reader, line);  // END 1

    EXPECT_EQ(ac.ask("DOWN 1"), "OK down for 1 s\n");
    ASSERT_EQ(nextWatchLine(reader, line), LineReader::Result::Line);
    EXPECT_EQ(line.rfind("DOWN ", 0), 0u);
    EXPECT_NE(line.find(" down"), std::string::npos);
    EXPECT_EQ(nextWatchLine(reader, line), LineReader::Result::Closed);
    EXPECT_EQ(ac.ask("PING").rfind("ERR 678 ", 0), 0u);

    std::string answer;
    for (int i = 0; i < 50 && answer != "PONG\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        answer = ac.ask("PING");
    }
    EXPECT_EQ(answer, "PONG\n");
    EXPECT_EQ(ac.ask("LIST"), "END 0\n");
}

TEST(LabAc, HandlesDoNotRepeatAcrossRestarts) {
    std::uint64_t last;
    {
        InProcessLabAc before;
        auto fields = lab::splitLine(before.ask("DIAL demo demo e"));
        ASSERT_TRUE(lab::parseUnsigned(fields.at(1), last));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    InProcessLabAc after;
    std::uint64_t first = 0;
    auto fields = lab::splitLine(after.ask("DIAL demo demo e"));
    ASSERT_TRUE(lab::parseUnsigned(fields.at(1), first));
    EXPECT_GT(first, last);
}

}  // namespace
}  // namespace tarnix

namespace tarnix {
namespace {

TEST(LabAc, TooManyConnectionsAreTurnedAwayNotServed) {
    InProcessLabAc ac;
    std::vector<Socket> idle;
    for (int i = 0; i < 64; ++i) {
        idle.push_back(Socket::connectTcp("127.0.0.1", ac.port(), 2000));
        ASSERT_TRUE(idle.back().valid());
        // A round trip makes sure the server has taken this one in.
        ASSERT_TRUE(idle.back().sendAll("PING\n"));
        LineReader reader(idle.back());
        std::string line;
        ASSERT_EQ(reader.readLine(line, 5000), LineReader::Result::Line);
    }
    EXPECT_EQ(ac.ask("PING").rfind("ERR 676 ", 0), 0u);
    idle.pop_back();
    std::string answer;
    for (int i = 0; i < 50 && answer != "PONG\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        answer = ac.ask("PING");
    }
    EXPECT_EQ(answer, "PONG\n");
}

TEST(LabAc, TakesTheClientsNoticesAtItsPortNumber) {
    InProcessLabAc labAc;
    MessageChannel channel(MessageServer{"127.0.0.1", labAc.port()}, [](std::string_view) {});
    channel.open();
    channel.sendOffline("demo");
    channel.sendOnline("a name of more than twenty bytes");
    channel.startKeepAlive();
    Socket stray = Socket::bindUdp("127.0.0.1", 0);
    stray.sendTo("\x01\x00", 2, "127.0.0.1", labAc.port());  // too short: not a notice
    const std::string from = " 127.0.0.1:" + std::to_string(channel.localPort());

    std::string reply;
    for (int i = 0; i < 200 && reply.find("END 3") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        reply = labAc.ask("NOTICES");
    }
    EXPECT_EQ(reply, "NOTICE offline demo" + from + "\n" +
                         "NOTICE online a%20name%20of%20more%20than%20" + from + "\n" +
                         "NOTICE keep-alive A" + from + "\nEND 3\n");
    EXPECT_TRUE(labAc.logged("notice online a name of more than  from 127.0.0.1:"));
}

}  // namespace
}  // namespace tarnix
