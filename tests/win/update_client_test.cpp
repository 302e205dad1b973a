// The update check as the client runs it under Windows: WinINet against a loopback
// server, the question answered through the message-box seam, Updata.exe's start seen
// through its seam; the "升级设置" page on a bare parent; and Updata.exe itself run
// against the same server with a stand-in installer.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <vector>

#include "../core/update_fixture.h"
#include "../support/DialRig.h"
#include "../support/DialogDriver.h"
#include "../support/WinProcess.h"
#include "../support/WindowPump.h"
#include "app/win/MainWindow.h"
#include "base/Prompt.h"
#include "resource.h"
#include "store/ConfigStore.h"
#include "store/SafeFile.h"
#include "test_resource.h"
#include "update/Sha256.h"
#include "update/UpdaterStart.h"
#include "update/win/UpdateOffer.h"
#include "update/win/UpdateSettingsPage.h"
#include "update/win/UpdaterBindings.h"
#include "update_ids.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::UpdateFolders;
using testing::UpdateHttpServer;
using testing::listText;
using testing::serveSigned;

// A bare window that runs the tasks posted to it and counts the pages' change messages.
class BareParent : public Dialog {
  public:
    BareParent() : Dialog(IDD_SAMPLE) {}
    int changes = 0;

  protected:
    bool onMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (msg != SettingsDialogModel::kChangedMessage) return false;
        changes += wParam == 1;
        result = 0;
        return true;
    }
};

// Answers the prompts as told and records them; records the updater's starts.
class Seams {
  public:
    explicit Seams(int answer = kAnswerYes) {
        setPromptHandler([this, answer](const PromptRequest& request) {
            std::lock_guard<std::mutex> lock(mutex);
            asked.push_back(request);
            return answer;
        });
        setUpdaterStartHandler([this](const fs::path& program) {
            std::lock_guard<std::mutex> lock(mutex);
            started.push_back(program);
            return true;
        });
    }
    ~Seams() {
        setPromptHandler({});
        setUpdaterStartHandler({});
    }
    std::mutex mutex;
    std::vector<PromptRequest> asked;
    std::vector<fs::path> started;
};

class UpdateClient : public ::testing::Test {
  protected:
    void SetUp() override {
        parent.createModeless(nullptr);
        ShowWindow(parent.hwnd(), SW_HIDE);
        UpdateFolders::writeFile(folders.program() / "Updata.exe", "stand-in");
        folders.writeSource("1.2", server.url("/list.ini"));
    }
    void TearDown() override { parent.end(0); }
    // One check as the network-ready message runs it, waited for with the window's
    // messages handled, so that its question can come.
    bool check() {
        AutomaticUpdateCheck check;
        bool started = check.start(parent.hwnd(), config, folders.program(), 1500);
        check.wait();
        testing::pumpPending();
        return started;
    }

    UpdateFolders folders;
    ConfigStore config{folders.program()};
    UpdateHttpServer server;
    BareParent parent;
};

TEST_F(UpdateClient, NewerVersionAsksAndYesStartsTheUpdater) {
    Seams seams;
    serveSigned(server, "/list.ini", listText("1.21"));
    ASSERT_TRUE(check());
    ASSERT_EQ(seams.asked.size(), 1u);
    EXPECT_EQ(seams.asked[0].text, L"发现新的版本，是否更新？");
    EXPECT_EQ(seams.asked[0].caption, L"提示更新");
    EXPECT_EQ(seams.asked[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(seams.asked[0].owner, parent.hwnd());
    ASSERT_EQ(seams.started.size(), 1u);
    EXPECT_EQ(seams.started[0], folders.program() / "Updata.exe");
    std::string written, error;
    ASSERT_TRUE(readWholeFile(fs::temp_directory_path() / "UpdateList.ini", written, error));
    EXPECT_EQ(written, listText("1.21"));

    Seams no(kAnswerNo);
    ASSERT_TRUE(check());
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_TRUE(no.started.empty()) << "No starts nothing";
}

TEST_F(UpdateClient, FailedOrEqualChecksAskNothing) {
    Seams seams;
    serveSigned(server, "/list.ini", listText("1.2"));
    EXPECT_TRUE(check());
    server.answer("/list.ini", {404, listText("9.9")});
    EXPECT_TRUE(check());
    server.answer("/list.ini", {302, "", "Location: " + server.url("/other.ini") + "\r\n"});
    server.answer("/other.ini", {200, listText("9.9")});
    EXPECT_TRUE(check());
    EXPECT_EQ(server.requests("/other.ini"), 0);
    UpdateHttpServer::Answer silent;
    silent.stall = true;
    server.answer("/list.ini", silent);
    auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(check());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(8))
        << "bounded by the time-out";
    {
        Socket probe = Socket::listenTcp("127.0.0.1", 0);
        folders.writeSource("1.2", "http://127.0.0.1:" + std::to_string(probe.localPort()) + "/");
    }
    EXPECT_TRUE(check()) << "connection refused";
    UpdateHttpServer::Answer huge{200, listText("9.9")};
    huge.filler = 100ull << 20;
    huge.sendLength = false;
    server.answer("/huge.ini", huge);
    folders.writeSource("1.2", server.url("/huge.ini"));
    EXPECT_TRUE(check()) << "100 MB";
    for (const char* bad : {"", "https://127.0.0.1/list.ini", "ftp://x/y"}) {
        folders.writeSource("1.2", bad);
        EXPECT_TRUE(check());
    }
    fs::remove(folders.program() / "UpdateConfig.ini");
    EXPECT_TRUE(check());
    EXPECT_TRUE(seams.asked.empty());
    EXPECT_TRUE(seams.started.empty());
}

TEST_F(UpdateClient, ManualModeChecksNothingButTheCommandStillStarts) {
    Seams seams;
    serveSigned(server, "/list.ini", listText("9.9"));
    config.SetUpdateCheck(false);
    EXPECT_FALSE(check());
    EXPECT_EQ(server.allRequests(), 0);
    startUpdaterFor(parent.hwnd(), folders.program());
    EXPECT_EQ(seams.started.size(), 1u);
    EXPECT_TRUE(seams.asked.empty());

    // Once per run.
    config.SetUpdateCheck(true);
    AutomaticUpdateCheck once;
    EXPECT_TRUE(once.start(parent.hwnd(), config, folders.program(), 1500));
    EXPECT_FALSE(once.start(parent.hwnd(), config, folders.program(), 1500));
    once.wait();
    testing::pumpPending();
    EXPECT_EQ(seams.asked.size(), 1u);
    EXPECT_EQ(seams.started.size(), 2u);

    fs::remove(folders.program() / "Updata.exe");
    seams.started.clear();
    startUpdaterFor(parent.hwnd(), folders.program());
    EXPECT_TRUE(seams.started.empty());
    ASSERT_EQ(seams.asked.size(), 2u) << "the missing updater is told";
    EXPECT_NE(seams.asked[1].text.find(L"Updata.exe"), std::wstring::npos);
    EXPECT_EQ(seams.asked[1].icon, PromptIcon::Error);
}

TEST_F(UpdateClient, SettingsPageSavesOnlyAChangedChoice) {
    UpdateSettingsPage page(config);
    ASSERT_TRUE(page.create(parent.hwnd()));
    testing::DialogDriver driver(page.hwnd());
    EXPECT_TRUE(driver.checked(IDC_UPDATE_AUTOMATIC)) << "UPDATESET missing counts as automatic";
    EXPECT_FALSE(driver.checked(IDC_UPDATE_MANUAL));
    EXPECT_EQ(driver.text(IDC_UPDATE_AUTOMATIC), L"自动升级");
    EXPECT_EQ(driver.text(IDC_UPDATE_AUTOMATIC_NOTE), L"每次启动时自动检测是否需要升级");
    EXPECT_EQ(driver.text(IDC_UPDATE_MANUAL), L"手工升级");
    EXPECT_EQ(driver.text(IDC_UPDATE_MANUAL_NOTE), L"手动升级来检测是否需要升级");
    EXPECT_EQ(driver.text(IDC_UPDATE_GROUP), L"升级方式：");

    driver.click(IDC_UPDATE_MANUAL);
    EXPECT_FALSE(driver.checked(IDC_UPDATE_AUTOMATIC)) << "one choice at a time";
    EXPECT_EQ(parent.changes, 1);
    EXPECT_TRUE(config.GetUpdateCheck()) << "nothing stored before the save";
    EXPECT_TRUE(page.save(parent.hwnd()));
    EXPECT_FALSE(config.GetUpdateCheck());
    // Changed elsewhere meanwhile: a save without a change of the page keeps that.
    config.SetUpdateCheck(true);
    EXPECT_TRUE(page.save(parent.hwnd()));
    EXPECT_TRUE(config.GetUpdateCheck());
    driver.click(IDC_UPDATE_AUTOMATIC);
    EXPECT_EQ(parent.changes, 2);
}

TEST(UpdateMainWindow, NetworkReadyChecksOnceAndTheCommandStartsTheUpdater) {
    testing::DialRig rig("update-main");
    UpdateHttpServer server;
    serveSigned(server, "/list.ini", listText("1.3"));
    UpdateFolders::writeFile(rig.folder / "Provider.ini", testing::providerKeyLines());
    UpdateFolders::writeFile(rig.folder / "UpdateConfig.ini",
                             "[Version]\r\nVersion=1.2\r\n[URL]\r\nURL=" +
                                 server.url("/list.ini") + "\r\n");
    UpdateFolders::writeFile(rig.folder / "Updata.exe", "stand-in");
    Seams seams;
    auto count = [&](auto& list) {
        std::lock_guard<std::mutex> lock(seams.mutex);
        return list.size();
    };
    MainWindow window(MainWindow::Services{*rig.config, rig.connectManage.get(), rig.folder,
                                           &rig.clock});
    ASSERT_NE(window.create(nullptr), nullptr);
    PostMessageW(window.hwnd(), WM_NETWORK_READY, 0, 0);
    PostMessageW(window.hwnd(), WM_NETWORK_READY, 0, 0);
    EXPECT_TRUE(testing::pumpUntil([&] { return count(seams.started) == 1; }));
    Sleep(300);
    testing::pumpPending();
    EXPECT_EQ(server.requests("/list.ini"), 1) << "once a run";
    EXPECT_EQ(count(seams.asked), 1u);

    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ID_UPDATE, 0), 0);
    EXPECT_EQ(count(seams.started), 2u);
    EXPECT_EQ(count(seams.asked), 1u) << "the command asks nothing";
    DestroyWindow(window.hwnd());
    testing::pumpPending();
}

// Between the check and the start nothing can change the held package: not a writer, not a
// rename, not a deletion.
TEST(UpdatePackageFile, HeldFileCannotBeChangedAndIsGoneWhenDiscarded) {
    UpdateFolders folders;
    fs::path file = folders.temp() / "TarnixUpdate" / "TarnixSetup.exe";
    HeldPackageFile package(file);
    ASSERT_TRUE(package.create());
    ASSERT_TRUE(package.write("MZ checked bytes"));
    std::string read;
    ASSERT_TRUE(package.holdAndRead([&](std::string_view piece) { read += piece; }));
    EXPECT_EQ(read, "MZ checked bytes");

    HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_FALSE(MoveFileExW(file.c_str(), (folders.temp() / "moved.exe").c_str(), 0));
    EXPECT_FALSE(DeleteFileW(file.c_str()));
    HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE) << "a reader, as the program loader is, may open it";
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);

    package.discard();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(package.start()) << "nothing held, nothing started";
}

// ---- Updata.exe ----------------------------------------------------------------------

class Updata : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::path built = testing::testProgramFolder().parent_path();
        fs::copy_file(built / "Updata.exe", folders.program() / "Updata.exe");
        std::string error;
        ASSERT_TRUE(readWholeFile(testing::testProgramFolder() / "update_stand_in_installer.exe",
                                  installer, error));
        folders.writeSource("1.2", server.url("/list.ini"));
        server.answer("/setup.exe", {200, installer});
        setEnvironment(L"TARNIX_TEST_INSTALL_MARKER", marker().wstring());
        setEnvironment(L"TMP", folders.temp().wstring());
        setEnvironment(L"TEMP", folders.temp().wstring());
        setEnvironment(L"TARNIX_TEST_INSTALL_EXIT", L"0");
    }
    void TearDown() override {
        // Backwards: a name set twice gets its first value back.
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            const auto& [name, value] = *it;
            SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
        }
    }
    void list(const std::string& sha, const testing::TestKey& key = testing::kSigningKey) {
        serveSigned(server, "/list.ini",
                    listText("1.3", "[Package]\r\nURL=" + server.url("/setup.exe") +
                                        "\r\nSize=" + std::to_string(installer.size()) +
                                        "\r\nSHA256=" + sha + "\r\n"),
                    key);
    }
    fs::path marker() const { return folders.program() / "installed.txt"; }
    // Runs Updata.exe; answers its message box, if one comes, and says what it said.
    DWORD run(std::wstring* told = nullptr) {
        testing::ChildProcess updata(folders.program() / "Updata.exe");
        EXPECT_TRUE(updata.started());
        DWORD waited = 0;
        while (!updata.waitExit(100) && waited < 20000) {
            waited += 100;
            HWND box = messageBoxOf(updata.id());
            if (!box) continue;
            if (told) *told = textOf(box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        DWORD code = 99;
        EXPECT_TRUE(updata.waitExit(5000));
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, updata.id());
        if (process) {
            GetExitCodeProcess(process, &code);
            CloseHandle(process);
        }
        return code;
    }

    std::string installer;
    UpdateFolders folders;
    UpdateHttpServer server;

    void setEnvironment(const std::wstring& name, const std::wstring& value) {
        wchar_t old[4096] = L"";
        GetEnvironmentVariableW(name.c_str(), old, 4096);
        saved_.emplace_back(name, old);
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
  private:
    static HWND messageBoxOf(DWORD process) {
        struct Search {
            DWORD process;
            HWND found = nullptr;
        } search{process};
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                wchar_t cls[32] = L"";
                GetClassNameW(w, cls, 32);
                if (owner != s->process || std::wstring(cls) != L"#32770" || !IsWindowVisible(w) ||
                    !GetDlgItem(w, 0xFFFF))
                    return TRUE;
                s->found = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    static std::wstring textOf(HWND box) {
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        return text;
    }
    std::vector<std::pair<std::wstring, std::wstring>> saved_;
};

TEST_F(Updata, VerifiedPackageRunsAndABadOneNever) {
    list(toHex(Sha256::of("not the installer")));
    std::wstring told;
    EXPECT_EQ(run(&told), 1u);
    EXPECT_EQ(told, L"下载的安装包校验失败，已删除，未进行升级。");
    EXPECT_FALSE(fs::exists(marker()));
    EXPECT_FALSE(fs::exists(folders.temp() / "TarnixUpdate" / "TarnixSetup.exe"));

    // The right hash in a list signed by another key is anyone's hash.
    list(toHex(Sha256::of(installer)), testing::kOtherKey);
    EXPECT_EQ(run(&told), 1u);
    EXPECT_EQ(told, L"服务器上的版本信息没有有效的签名，可能已被篡改，未进行升级。");
    EXPECT_EQ(server.requests("/setup.exe"), 1) << "only the first list's download";
    EXPECT_FALSE(fs::exists(marker()));

    list(toHex(Sha256::of(installer)));
    EXPECT_EQ(run(), 0u);
    EXPECT_TRUE(testing::pumpUntil([&] { return fs::exists(marker()); }));
    EXPECT_EQ(server.requests("/setup.exe"), 2);
}

// An installer cancelled in its own window (exit code 1): the updater waited for it and
// says nothing was installed; no client ran, so none is started.
TEST_F(Updata, AnInstallerThatEndsWithoutInstallingIsTold) {
    list(toHex(Sha256::of(installer)));
    setEnvironment(L"TARNIX_TEST_INSTALL_EXIT", L"1");
    std::wstring told;
    EXPECT_EQ(run(&told), 1u);
    EXPECT_TRUE(fs::exists(marker())) << "the installer ran";
    EXPECT_EQ(told, L"安装程序没有完成安装（已取消或失败），未进行升级。");
    EXPECT_FALSE(fs::exists(folders.temp() / "TarnixUpdate" / "TarnixSetup.exe"));
}

}  // namespace
}  // namespace tarnix
