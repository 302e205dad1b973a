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
using testing::kOtherKey;
using testing::kSigningKey;
using testing::serveSigned;
using testing::signWith;

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
        serveSigned(server, "/list.ini", listText(version));
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
    serveSigned(server, "/list.ini", "no sections at all \x01\xff");
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

// Anyone on the path can serve a list; only one the provider signed may offer a version.
TEST_F(UpdateCheck, OnlyAListSignedByTheProviderCounts) {
    folders.writeSource("1.2", server.url("/list.ini"));
    const std::string list = listText("9.9");
    const std::string good = signWith(kSigningKey, list);
    auto expectRefused = [&](const std::string& signature, const char* what) {
        server.answer("/list.ini", {200, list});
        server.answer("/list.ini.sig", {200, signature});
        EXPECT_EQ(check().result, UpdateCheckResult::Unsigned) << what;
        EXPECT_EQ(listed(), "(none)") << what;
    };
    server.answer("/list.ini", {200, list});
    EXPECT_EQ(check().result, UpdateCheckResult::Unsigned) << "no .sig at all (404)";
    expectRefused(signWith(kOtherKey, list), "another key");
    expectRefused(good.substr(0, good.size() - 5), "cut short");
    expectRefused(good + "xyz", "trailing bytes");
    expectRefused("", "empty");
    expectRefused(std::string(70, '\x5a'), "garbage");
    expectRefused(signWith(kSigningKey, listText("1.0")), "over other bytes");
    UpdateHttpServer::Answer huge{200, good};
    huge.filler = 10u << 20;  // 10 MB
    server.answer("/list.ini.sig", huge);
    EXPECT_EQ(check().result, UpdateCheckResult::Unsigned) << "10 MB";

    serveSigned(server, "/list.ini", list);
    EXPECT_EQ(check().result, UpdateCheckResult::NewerVersion);
    EXPECT_EQ(listed(), list);
}

TEST_F(UpdateCheck, AnUnusableKeyTrustsNothing) {
    folders.writeSource("1.2", server.url("/list.ini"));
    serveSigned(server, "/list.ini", listText("9.9"));
    const auto ini = folders.program() / "Provider.ini";
    for (const std::string& key : std::vector<std::string>{
             "",                         // present but empty
             "not base64!",              // not base64
             "MFkwEwYHKoZIzj0CAQ==",     // base64, not a key
             // an RSA-2048 key and a P-384 key
             "MIIBIjANBgkqhkiG9w0BAQEFAAOCAQ8AMIIBCgKCAQEAuEVTfMQMe3+zwUAC5kfHcQC9t9QLxO6avUN7WNWo1Fx1"
             "u6h52llI8uTwEIiqbRj9UW+eMayQPMsUP2e3QROO3Nip0w/mLbWwak53oUYOPRdof64ScG2SgcxcwcVdnIyNpx45"
             "XuMffomGIoyCJDNsHrLB77WIoZrIwPOr8+GshMw9MlQ0M3IHTsFzKDduTWtQ08sW+Vj3Jsn/YKOX1hCqpdOOzz84"
             "+znGEkWUKAVL1aWjvNqaKGmqu3+Gihr5cEgl8x8buakh35BiSlzr+ocF6I3R3XeoQX2nrBq2RyLpCTdz3HhnbgIk"
             "NG9RqdCJb71uR/yXC6JJJ0JN8rtJTrl8YwIDAQAB",
             "MHYwEAYHKoZIzj0CAQYFK4EEACIDYgAEJ0SMat00Wg1FbOzHLw+ySdeVBXJmN3uoTjFrjeWmPMQ9AjLKdSr1oZIa"
             "mkYJwkQ3f7xp5R9h9Rkri14GGQJWpwvx85sK+OCU3929Wklc9DAyvzyaRengBJ97054CUUdj"}) {
        UpdateFolders::writeFile(ini, "[Update]\r\nPublicKey=" + key + "\r\n");
        EXPECT_EQ(check().result, UpdateCheckResult::Unsigned) << key;
    }
    // Without the setting the built-in key decides, and it is not the tests' key.
    UpdateFolders::writeFile(ini, "[News]\r\nHost=127.0.0.1\r\n");
    EXPECT_EQ(check().result, UpdateCheckResult::Unsigned);
    EXPECT_EQ(listed(), "(none)");
}

TEST_F(UpdateCheck, ASignatureThatNeverComesEndsWithinTheTimeOut) {
    folders.writeSource("1.2", server.url("/list.ini"));
    server.answer("/list.ini", {200, listText("9.9")});
    UpdateHttpServer::Answer silent;
    silent.stall = true;
    server.answer("/list.ini.sig", silent);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(check().result, UpdateCheckResult::NetworkError);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kTestTimeoutMs * 3 + 2000));
    EXPECT_EQ(listed(), "(none)");
}

}  // namespace
}  // namespace tarnix
