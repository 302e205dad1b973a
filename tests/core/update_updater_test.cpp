// The updater's work against a real HTTP server on loopback: a good package is started
// once its size and SHA-256 are right and the client has ended; every bad case is refused
// with its own result, the package is thrown away and nothing starts.
#include <gtest/gtest.h>

#include "update/Sha256.h"
#include "update/Updater.h"
#include "update_fixture.h"

namespace tarnix {
namespace {

using testing::UpdateFolders;
using testing::UpdateHttpServer;
using testing::listText;
using testing::serveSigned;

// The package in memory; it records what became of it.
class MemoryPackage : public PackageFile {
  public:
    bool create() override {
        bytes.clear();
        return !failCreate;
    }
    bool write(std::string_view piece) override {
        bytes.append(piece);
        return true;
    }
    bool holdAndRead(const std::function<void(std::string_view)>& piece) override {
        held = true;
        piece(tamperedTo.empty() ? bytes : tamperedTo);
        return true;
    }
    bool start() override { return started = held && !failStart; }
    bool installed() override { return installs; }
    void discard() override { discarded = true; }

    std::string bytes, tamperedTo;
    bool failCreate = false, failStart = false, installs = true;
    bool held = false, started = false, discarded = false;
};

class StubClient : public RunningClient {
  public:
    ClientEnd end() override {
        ++asked;
        if (onEnd) onEnd();
        return ends;
    }
    bool restart() override {
        ++restarted;
        return true;
    }
    int asked = 0, restarted = 0;
    ClientEnd ends = ClientEnd::Ended;
    std::function<void()> onEnd;
};

class Updater : public ::testing::Test {
  protected:
    Updater() {
        folders.writeSource("1.2", server.url("/list.ini"));
        serve(installer);
    }
    std::string packageSection(const std::string& url, std::uint64_t size,
                               const std::string& bytes) {
        return "[Package]\r\nURL=" + url + "\r\nSize=" + std::to_string(size) +
               "\r\nSHA256=" + toHex(Sha256::of(bytes)) + "\r\n";
    }
    // Lists version 1.3 with the package as the server serves `bytes`.
    void serve(const std::string& bytes, const std::string& version = "1.3") {
        serveSigned(server, "/list.ini", listText(version, packageSection(server.url("/setup.exe"),
                                                                         bytes.size(), bytes)));
        server.answer("/setup.exe", {200, bytes});
    }
    UpdaterOutcome run() {
        UpdaterTask task{systemProfile(), folders.program(), folders.temp(), package, client,
                         testing::kTestTimeoutMs};
        task.progress = [this](std::uint64_t received, std::uint64_t total) {
            lastProgress = received;
            progressTotal = total;
        };
        task.cancel = &cancel;
        task.downloading = [this](const std::string& version) { downloading = version; };
        task.stage = [this](UpdaterStage stage) { stages.push_back(stage); };
        return runUpdater(task);
    }
    void expectRefused(UpdaterResult result, const char* why) {
        package = MemoryPackage();
        client = StubClient();
        EXPECT_EQ(run().result, result) << why;
        EXPECT_FALSE(package.started) << why;
        EXPECT_EQ(client.asked, 0) << why << ": the client is left running";
    }

    const std::string installer = std::string(300000, 'i') + "end";
    UpdateFolders folders;
    UpdateHttpServer server;
    MemoryPackage package;
    StubClient client;
    std::atomic<bool> cancel{false};
    std::uint64_t lastProgress = 0, progressTotal = 0;
    std::string downloading;
    std::vector<UpdaterStage> stages;
};

TEST_F(Updater, CheckedPackageStartsAfterTheClientEnds) {
    UpdaterOutcome outcome = run();
    EXPECT_EQ(outcome.result, UpdaterResult::Started);
    EXPECT_EQ(outcome.version, "1.3");
    EXPECT_TRUE(package.started);
    EXPECT_FALSE(package.discarded);
    EXPECT_EQ(package.bytes, installer);
    EXPECT_EQ(client.asked, 1);
    EXPECT_EQ(downloading, "1.3");
    EXPECT_EQ(stages, (std::vector<UpdaterStage>{UpdaterStage::Verifying, UpdaterStage::EndingClient,
                                                 UpdaterStage::Installing}));
    EXPECT_EQ(lastProgress, installer.size());
    EXPECT_EQ(progressTotal, installer.size());
}

TEST_F(Updater, NothingNewerNothingDownloaded) {
    for (const char* version : {"1.2", "1.10", "0.5"}) {
        serve(installer, version);
        expectRefused(UpdaterResult::UpToDate, version);
    }
    for (const char* version : {"abc", "1.2.3", "-1", "1e9"}) {
        serve(installer, version);
        expectRefused(UpdaterResult::BadList, version);
    }
    EXPECT_EQ(server.requests("/setup.exe"), 0);
}

TEST_F(Updater, BadPackagesAreRefusedAndThrownAway) {
    const std::string url = server.url("/setup.exe");
    // The bytes differ from the digest.
    serveSigned(server, "/list.ini", listText("1.3", packageSection(url, installer.size(),
                                                                   "other bytes")));
    expectRefused(UpdaterResult::WrongHash, "wrong hash");
    EXPECT_TRUE(package.discarded);
    // Fewer and more bytes than listed, announced or not.
    serveSigned(server, "/list.ini", listText("1.3", packageSection(url, installer.size() + 1,
                                                                   installer)));
    expectRefused(UpdaterResult::WrongSize, "short, announced");
    UpdateHttpServer::Answer unannounced{200, installer};
    unannounced.sendLength = false;
    server.answer("/setup.exe", unannounced);
    expectRefused(UpdaterResult::WrongSize, "short, not announced");
    serveSigned(server, "/list.ini", listText("1.3", packageSection(url, installer.size() - 1,
                                                                   installer)));
    expectRefused(UpdaterResult::WrongSize, "oversized, not announced");
    server.answer("/setup.exe", {200, installer});
    expectRefused(UpdaterResult::WrongSize, "oversized, announced");
    // A body that stops before its announced end.
    serve(installer);
    UpdateHttpServer::Answer cut{200, installer.substr(0, 1000)};
    cut.announced = installer.size();
    server.answer("/setup.exe", cut);
    expectRefused(UpdaterResult::DownloadFailed, "cut short");
    // A file changed between the download and the check.
    serve(installer);
    package = MemoryPackage();
    package.tamperedTo = installer.substr(1) + "!";
    EXPECT_EQ(run().result, UpdaterResult::WrongHash);
    EXPECT_FALSE(package.started);
}

TEST_F(Updater, UnreachablePackagesAreRefused) {
    server.answer("/setup.exe", {404, "gone"});
    expectRefused(UpdaterResult::PackageUnavailable, "404");
    server.answer("/setup.exe", {302, "", "Location: http://elsewhere.example/evil.exe\r\n"});
    expectRefused(UpdaterResult::PackageUnavailable, "redirect");
    UpdateHttpServer::Answer silent;
    silent.stall = true;
    server.answer("/setup.exe", silent);
    expectRefused(UpdaterResult::DownloadFailed, "stalls");
    // A package address that is not http makes the list unusable.
    for (const char* url : {"https://h/setup.exe", "file:///C:/Windows/notepad.exe", "",
                            "\\\\server\\share\\setup.exe"}) {
        serveSigned(server, "/list.ini", listText("1.3", packageSection(url, installer.size(), installer)));
        expectRefused(UpdaterResult::BadList, url);
    }
}

TEST_F(Updater, AListNotSignedByTheProviderDownloadsNothing) {
    const std::string list =
        listText("1.3", packageSection(server.url("/setup.exe"), installer.size(), installer));
    server.answer("/list.ini", {200, list});
    server.answer("/list.ini.sig", {404, "no signature"});
    expectRefused(UpdaterResult::UnsignedList, "no signature");
    testing::serveSigned(server, "/list.ini", list, testing::kOtherKey);
    expectRefused(UpdaterResult::UnsignedList, "another key");
    EXPECT_EQ(server.requests("/setup.exe"), 0);
}

TEST_F(Updater, FailuresBeforeTheDownloadTellWhy) {
    folders.writeSource("1.2", "");
    expectRefused(UpdaterResult::NoSource, "no address");
    folders.writeSource("1.2", server.url("/missing.ini"));
    expectRefused(UpdaterResult::ListUnavailable, "404 list");
    UpdateHttpServer::Answer huge{200, listText("9.9")};
    huge.filler = 100ull << 20;
    huge.sendLength = false;
    server.answer("/huge.ini", huge);
    folders.writeSource("1.2", server.url("/huge.ini"));
    expectRefused(UpdaterResult::ListUnavailable, "100 MB list");
    folders.writeSource("1.2", server.url("/list.ini"));
    package = MemoryPackage();
    package.failCreate = true;
    EXPECT_EQ(run().result, UpdaterResult::FileError);
}

TEST_F(Updater, ClientThatStaysOrCancelStartsNothing) {
    client.ends = ClientEnd::StillRunning;
    EXPECT_EQ(run().result, UpdaterResult::ClientRunning);
    EXPECT_FALSE(package.started);
    EXPECT_TRUE(package.discarded);
    package = MemoryPackage();
    client = StubClient();
    cancel = true;
    EXPECT_EQ(run().result, UpdaterResult::Cancelled);
    EXPECT_FALSE(package.started);
    EXPECT_EQ(client.asked, 0);
}

// The user cancels while the client is closing: still before the installer, so nothing
// starts, the package goes, and the client the updater closed is left closed.
TEST_F(Updater, CancelWhileTheClientEndsStartsNothingAndLeavesTheClientClosed) {
    client.onEnd = [this] { cancel = true; };
    UpdaterOutcome outcome = run();
    EXPECT_EQ(outcome.result, UpdaterResult::Cancelled);
    EXPECT_FALSE(package.started);
    EXPECT_TRUE(package.discarded);
    EXPECT_TRUE(outcome.clientEnded);
    EXPECT_FALSE(outcome.clientRestarted);
    EXPECT_EQ(client.restarted, 0);
}

// An update that fails once the client is closed brings the client back; one that
// installs, or that never closed a client, starts none.
TEST_F(Updater, TheClosedClientComesBackWhenTheInstallerFailsOrCannotStart) {
    package.installs = false;
    UpdaterOutcome outcome = run();
    EXPECT_EQ(outcome.result, UpdaterResult::InstallerFailed);
    EXPECT_TRUE(package.discarded);
    EXPECT_TRUE(outcome.clientRestarted);
    EXPECT_EQ(client.restarted, 1);
    EXPECT_EQ(stages.back(), UpdaterStage::Installing);

    package = MemoryPackage();
    client = StubClient();
    package.failStart = true;
    outcome = run();
    EXPECT_EQ(outcome.result, UpdaterResult::StartFailed);
    EXPECT_EQ(client.restarted, 1);

    package = MemoryPackage();
    client = StubClient();
    client.ends = ClientEnd::NoneRunning;
    package.installs = false;
    outcome = run();
    EXPECT_EQ(outcome.result, UpdaterResult::InstallerFailed);
    EXPECT_FALSE(outcome.clientEnded);
    EXPECT_EQ(client.restarted, 0) << "no client ran: none is started";

    package = MemoryPackage();
    client = StubClient();
    EXPECT_EQ(run().result, UpdaterResult::Started);
    EXPECT_FALSE(package.discarded);
    EXPECT_EQ(client.restarted, 0);
}

}  // namespace
}  // namespace tarnix
