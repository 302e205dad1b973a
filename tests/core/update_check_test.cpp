// The update check against a real HTTP server on loopback: only a complete 200 answer is
// written to UpdateList.ini, only a listed version greater than the installed one asks,
// and no failure ever asks.
#include <gtest/gtest.h>

#include <chrono>

#include "store/SafeFile.h"
#include "update/UpdateCheck.h"
#include "update_fixture.h"

namespace tarnix {
namespace {

using testing::UpdateFolders;
using testing::UpdateHttpServer;
using testing::listText;
using testing::kTestTimeoutMs;

class UpdateCheck : public ::testing::Test {
  protected:
    UpdateCheckOutcome check() {
        return checkForUpdate(systemProfile(), folders.program(), folders.temp(), kTestTimeoutMs);
    }
    std::string listed() {
        std::string bytes, error;
        return readWholeFile(folders.list(), bytes, error) ? bytes : "(none)";
    }
    void serveList(const std::string& version) {
        server.answer("/list.ini", {200, listText(version)});
    }

    UpdateFolders folders;
    UpdateHttpServer server;
};

TEST_F(UpdateCheck, NewerListedVersionIsFoundAndTheListKept) {
    folders.writeSource("1.2", server.url("/list.ini"));
    serveList("1.21");
    UpdateCheckOutcome outcome = check();
    EXPECT_EQ(outcome.result, UpdateCheckResult::NewerVersion);
    EXPECT_EQ(outcome.available, "1.21");
    EXPECT_EQ(listed(), listText("1.21"));
    EXPECT_EQ(server.requests("/list.ini"), 1);
}

TEST_F(UpdateCheck, SameOrOlderVersionIsNotNewer) {
    folders.writeSource("1.2", server.url("/list.ini"));
    for (const char* version : {"1.2", "1.20", "1.1", "0.9", "1.10"}) {
        serveList(version);
        EXPECT_EQ(check().result, UpdateCheckResult::UpToDate) << version;
    }
    folders.writeSource("1.9", server.url("/list.ini"));
    serveList("1.10");
    EXPECT_EQ(check().result, UpdateCheckResult::UpToDate) << "1.10 is lower than 1.9";
}

TEST_F(UpdateCheck, AnythingButAComplete200WritesNothing) {
    folders.writeSource("1.2", server.url("/list.ini"));
    // 404 (nothing set up), a redirect to a list elsewhere, a server error.
    EXPECT_EQ(check().result, UpdateCheckResult::NotOk);
    server.answer("/list.ini", {302, "", "Location: " + server.url("/other.ini") + "\r\n"});
    server.answer("/other.ini", {200, listText("9.9")});
    EXPECT_EQ(check().result, UpdateCheckResult::NotOk);
    EXPECT_EQ(server.requests("/other.ini"), 0) << "redirects are not followed";
    server.answer("/list.ini", {500, listText("9.9")});
    EXPECT_EQ(check().result, UpdateCheckResult::NotOk);
    // A body that ends before its announced length.
    UpdateHttpServer::Answer cut{200, listText("9.9")};
    cut.announced = 500;
    server.answer("/list.ini", cut);
    EXPECT_EQ(check().result, UpdateCheckResult::NetworkError);
    EXPECT_EQ(listed(), "(none)");
}

TEST_F(UpdateCheck, MalformedAnswersWriteNothing) {
    folders.writeSource("1.2", server.url("/list.ini"));
    const std::string body = listText("9.9");
    for (const std::string& raw : std::vector<std::string>{
             "HTTP/1.0 2x0 OK\r\n\r\n" + body,
             "HTTP/1.0 2000 OK\r\n\r\n" + body,
             "HTTP/1.0 200 OK\r\nContent-Length: abc\r\n\r\n" + body,
             "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n" + body,
             "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n" + body,
             "HTTP/1.0 200 OK\r\nContent-Length: 4096\r\n\r\n" + body,
             std::string(3, '\0'),
         }) {
        UpdateHttpServer::Answer answer;
        answer.raw = raw;
        server.answer("/list.ini", answer);
        UpdateCheckResult result = check().result;
        EXPECT_NE(result, UpdateCheckResult::NewerVersion) << raw;
        EXPECT_NE(result, UpdateCheckResult::UpToDate) << raw;
    }
    EXPECT_EQ(listed(), "(none)");
}

TEST_F(UpdateCheck, NoAddressMeansNoRequest) {
    EXPECT_EQ(check().result, UpdateCheckResult::NoSource) << "no UpdateConfig.ini";
    for (const std::string& url : std::vector<std::string>{"", "https://127.0.0.1:" + std::to_string(server.port()) + "/list.ini",
          "ftp://127.0.0.1/list.ini", "127.0.0.1/list.ini", "C:\\list.ini"}) {
        folders.writeSource("1.2", url);
        EXPECT_EQ(check().result, UpdateCheckResult::NoSource) << url;
    }
    folders.writeConfig("[Version]\r\nVersion=1.2\r\n");
    EXPECT_EQ(check().result, UpdateCheckResult::NoSource) << "no [URL]";
    folders.writeConfig(std::string("\x00\xff garbage [URL\r\nURL=\r\n", 22));
    EXPECT_EQ(check().result, UpdateCheckResult::NoSource) << "garbage";
    EXPECT_EQ(server.allRequests(), 0);
}

TEST_F(UpdateCheck, RefusedOrSilentServersEndWithinTheTimeOut) {
    std::uint16_t closedPort;
    {
        Socket probe = Socket::listenTcp("127.0.0.1", 0);
        closedPort = probe.localPort();
    }
    folders.writeSource("1.2", "http://127.0.0.1:" + std::to_string(closedPort) + "/list.ini");
    EXPECT_EQ(check().result, UpdateCheckResult::NetworkError);

    UpdateHttpServer::Answer silent;
    silent.stall = true;
    server.answer("/list.ini", silent);
    folders.writeSource("1.2", server.url("/list.ini"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(check().result, UpdateCheckResult::NetworkError);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(kTestTimeoutMs * 3 + 2000));
    EXPECT_EQ(listed(), "(none)");
}

TEST_F(UpdateCheck, HugeBodiesAreRefusedUnread) {
    folders.writeSource("1.2", server.url("/list.ini"));
    UpdateHttpServer::Answer huge{200, listText("9.9")};
    huge.filler = 100ull << 20;  // 100 MB
    server.answer("/list.ini", huge);
    EXPECT_EQ(check().result, UpdateCheckResult::TooLarge);
    huge.sendLength = false;
    server.answer("/list.ini", huge);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(check().result, UpdateCheckResult::TooLarge);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(listed(), "(none)");
}

TEST_F(UpdateCheck, BadVersionTextNeverCountsAsNewer) {
    folders.writeSource("1.2", server.url("/list.ini"));
    for (const char* version : {"abc", "1.2.3", "-1", "1e9", ""}) {
        serveList(version);
        EXPECT_EQ(check().result, UpdateCheckResult::BadVersion) << version;
    }
    server.answer("/list.ini", {200, "no sections at all \x01\xff"});
    EXPECT_EQ(check().result, UpdateCheckResult::UpToDate) << "the default 0.0";
    serveList("9.9");
    for (const char* installed : {"abc", "1.2.3", "-1", "1e9"}) {
        folders.writeSource(installed, server.url("/list.ini"));
        EXPECT_EQ(check().result, UpdateCheckResult::BadVersion) << installed;
    }
    folders.writeConfig("[URL]\r\nURL=" + server.url("/list.ini") + "\r\n");
    EXPECT_EQ(check().result, UpdateCheckResult::NewerVersion) << "installed defaults to 1.0";
    // Huge values: a version of a megabyte of digits, an address of 100 KB.
    folders.writeSource(std::string(1 << 20, '9'), server.url("/list.ini"));
    EXPECT_EQ(check().result, UpdateCheckResult::BadVersion);
    folders.writeSource("1.2", server.url("/list.ini?" + std::string(100000, 'q')));
    EXPECT_EQ(check().result, UpdateCheckResult::NoSource);
}

}  // namespace
}  // namespace tarnix
