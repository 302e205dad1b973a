// The command line for scripts: which arguments are a request and which are refused, the
// requests and replies as they cross to the running client, and how the client's view of
// the link settles each switch.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/RemoteCommand.h"

using namespace tarnix;

TEST(CommandLine, OneKnownSwitchInAnyCaseElseRefused) {
    EXPECT_EQ(parseCommandLine({}).verb, CommandLineVerb::Start);
    EXPECT_EQ(parseCommandLine({L"/connect"}).verb, CommandLineVerb::Connect);
    EXPECT_EQ(parseCommandLine({L"/DisConnect"}).verb, CommandLineVerb::Disconnect);
    EXPECT_EQ(parseCommandLine({L"/STATUS"}).verb, CommandLineVerb::Status);
    EXPECT_EQ(parseCommandLine({L"/?"}).verb, CommandLineVerb::Usage);

    // Near misses are refused, never taken for a start that might dial by itself.
    for (const wchar_t* bad : {L"/connec", L"/connectx", L"connect", L"-connect", L"", L"/",
                               L"/status\u00a0", L"/\u0130"}) {
        CommandLine line = parseCommandLine({bad});
        EXPECT_EQ(line.verb, CommandLineVerb::Invalid) << std::wstring(bad).size();
        EXPECT_EQ(line.refused, bad);
    }
    // A long argument is shown cut; more than one switch, however many, is refused whole.
    EXPECT_EQ(parseCommandLine({std::wstring(100000, L'x')}).refused, std::wstring(40, L'x') + L"...");
    const CommandLine many = parseCommandLine(std::vector<std::wstring>(10000, L"/connect"));
    EXPECT_EQ(many.verb, CommandLineVerb::Invalid);
    EXPECT_TRUE(many.refused.empty());
    EXPECT_EQ(parseCommandLine({L"/status", L"/connect"}).verb, CommandLineVerb::Invalid);
}

TEST(RemoteCommand, OnlyWellFormedMessagesAreTaken) {
    RemoteRequest request{static_cast<std::uint32_t>(RemoteVerb::Connect)};
    EXPECT_EQ(readRemoteRequest(kRemoteRequestTag, &request, sizeof request), RemoteVerb::Connect);
    EXPECT_FALSE(readRemoteRequest(kRemoteReplyTag, &request, sizeof request));
    EXPECT_FALSE(readRemoteRequest(kRemoteRequestTag, &request, sizeof request - 1));
    EXPECT_FALSE(readRemoteRequest(kRemoteRequestTag, &request, sizeof request + 1));
    EXPECT_FALSE(readRemoteRequest(kRemoteRequestTag, nullptr, sizeof request));
    for (std::uint32_t verb : {0u, 4u, 0xFFFFFFFFu}) {
        RemoteRequest stranger{verb};
        EXPECT_FALSE(readRemoteRequest(kRemoteRequestTag, &stranger, sizeof stranger)) << verb;
    }

    // A reply's texts end within their fields whatever was sent.
    RemoteReply garbage;
    std::memset(&garbage, 'x', sizeof garbage);
    garbage.state = 2;
    auto read = readRemoteReply(kRemoteReplyTag, &garbage, sizeof garbage);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::strlen(read->account), sizeof read->account - 1);
    EXPECT_EQ(std::strlen(read->address), sizeof read->address - 1);
    garbage.state = 3;
    EXPECT_FALSE(readRemoteReply(kRemoteReplyTag, &garbage, sizeof garbage));
    EXPECT_FALSE(readRemoteReply(kRemoteRequestTag, &garbage, sizeof garbage));
}

TEST(RemoteCommand, StatusLineAndTextsCutWhole) {
    EXPECT_EQ(remoteStatusLine(makeRemoteReply(RemoteLinkState::Up, 0, "demo", "10.64.0.10", 3725)),
              "connected demo 10.64.0.10 3725");
    EXPECT_EQ(remoteStatusLine(makeRemoteReply(RemoteLinkState::Up, 0, "", "", 0)),
              "connected - - 0");
    EXPECT_EQ(remoteStatusLine(makeRemoteReply(RemoteLinkState::Dialling, 0, "demo", "", 0)),
              "disconnected");
    // 63 bytes hold 31 two-byte characters; the 32nd is left out whole.
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "\xD5\xC5";
    RemoteReply reply = makeRemoteReply(RemoteLinkState::Up, 0, "a" + chinese, "", 0);
    EXPECT_EQ(std::string(reply.account), "a" + chinese.substr(0, 62));
}

// The client's view of the link, fed as the dial controller reports, answers the
// requests; the requester's exit code follows from the replies.
TEST(RemoteCommand, ConnectSettlesWithTheLinkOrTheDialsError) {
    auto settled = [](RemoteLink& link, RemoteVerb verb) {
        return settledExitCode(verb, makeRemoteReply(link.state(), link.outcome(), "", "", 0));
    };
    RemoteLink link;
    EXPECT_EQ(settled(link, RemoteVerb::Status), kExitNotConnected);
    EXPECT_EQ(link.take(RemoteVerb::Disconnect, true), RemoteLink::Action::None);
    EXPECT_EQ(settled(link, RemoteVerb::Disconnect), kExitOk);

    // Nothing to dial with: no dial, settled at once.
    EXPECT_EQ(link.take(RemoteVerb::Connect, false), RemoteLink::Action::None);
    EXPECT_EQ(settled(link, RemoteVerb::Connect), kExitNoAccount);

    // A dial asked for; the command state shown before it starts does not settle it.
    EXPECT_EQ(link.take(RemoteVerb::Connect, true), RemoteLink::Action::Connect);
    link.dialEnded(0);
    EXPECT_EQ(settled(link, RemoteVerb::Connect), std::nullopt);
    link.dialling();
    EXPECT_EQ(settled(link, RemoteVerb::Connect), std::nullopt);
    link.dialEnded(691);
    EXPECT_EQ(settled(link, RemoteVerb::Connect), 691);

    // A dial already under way is waited for, not made twice.
    link.dialling();
    EXPECT_EQ(link.take(RemoteVerb::Connect, true), RemoteLink::Action::None);
    link.linkUp();
    EXPECT_EQ(settled(link, RemoteVerb::Connect), kExitOk);
    EXPECT_EQ(link.take(RemoteVerb::Connect, true), RemoteLink::Action::None);
    EXPECT_EQ(settled(link, RemoteVerb::Status), kExitOk);

    // Disconnect hangs up, and is settled once the link is down.
    EXPECT_EQ(link.take(RemoteVerb::Disconnect, true), RemoteLink::Action::Disconnect);
    EXPECT_EQ(settled(link, RemoteVerb::Disconnect), std::nullopt);
    link.linkDown();
    link.dialEnded(0);  // the commands after the hang-up settle no connect
    EXPECT_EQ(settled(link, RemoteVerb::Disconnect), kExitOk);

    // A dial the user cancelled settles a waiting connect with the abandoned dial's number.
    EXPECT_EQ(link.take(RemoteVerb::Connect, true), RemoteLink::Action::Connect);
    link.dialling();
    EXPECT_EQ(link.take(RemoteVerb::Disconnect, true), RemoteLink::Action::Disconnect);
    link.dialEnded(0);
    EXPECT_EQ(settled(link, RemoteVerb::Connect), 631);
}
