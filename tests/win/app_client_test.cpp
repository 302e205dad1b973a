// The client as its own process: one at a time (a second start brings the first forward
// and ends; the mutex alone decides, so a leftover window with the property cannot block a
// start), the notices it sends to the provider's message server while it runs, and a whole
// session against lab-ac.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <vector>

#include "app/RemoteCommand.h"
#include "app/win/DialerApp.h"
#include "base/Profile.h"
#include "base/Socket.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "base/win/Scoped.h"
#include "records/MonthFile.h"
#include "resource.h"
#include "store/PasswordCipher.h"
#include "../support/DialRig.h"
#include "../support/WinProcess.h"
#include "../support/lab_Server.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

HWND mainWindowOf(DWORD pid) {
    return windowOf(pid, [](HWND w) { return GetPropW(w, kProductTitle) != nullptr; });
}

class Client : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy_file(builtProgram(L"TARNIX_EXE", L"../Tarnix.exe"), exe_);
        // Lab mode at a port where nothing listens: the client starts without dialling.
        std::ofstream(folder_.path() / "LinkAgent.ini")
            << "[LinkAgent]\r\nMode=lab\r\nConcentrator=127.0.0.1:9\r\n";
        ASSERT_EQ(countProcesses(L"Tarnix.exe"), 0) << "another client is already running";
    }

    HWND waitForWindow(const ChildProcess& p) {
        HWND w = nullptr;
        waitFor([&] { return (w = mainWindowOf(p.id())) != nullptr; }, 20s);
        return w;
    }

    void exitClient(const ChildProcess& p, HWND w) {
        PostMessageW(w, WM_COMMAND, ID_MENU_EXIT, 0);
        EXPECT_TRUE(p.waitExit(10000));
    }

    // Lab mode against `endpoint`, the demo account remembered (and dialled at start).
    void useLabAc(const std::string& endpoint, bool autoconnect) {
        std::ofstream(folder_.path() / "LinkAgent.ini", std::ios::trunc)
            << "[LinkAgent]\r\nMode=lab\r\nConcentrator=" << endpoint << "\r\n";
        const std::string demo = "<User NAME=\"demo\" PASSWORD=\"" +
                                 PasswordCipher::EncryptPassword("demo") + "\"/>";
        std::ofstream(folder_.path() / "config.xml", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
               "<passwordstatus>1</passwordstatus>\r\n<Autoconnect>" << (autoconnect ? 1 : 0)
            << "</Autoconnect>\r\n<pppoe_brelvan_default_entry>\r\n" << demo
            << "\r\n</pppoe_brelvan_default_entry>\r\n<LastUser>\r\n" << demo
            << "\r\n</LastUser>\r\n</CONFIG>\r\n";
    }

    TempFolder folder_{L"single"};
    std::filesystem::path exe_ = folder_.path() / "Tarnix.exe";
};

TEST_F(Client, SecondStartRestoresTheFirstAndEnds) {
    ChildProcess first(exe_);
    ASSERT_TRUE(first.started());
    HWND w = waitForWindow(first);
    ASSERT_NE(w, nullptr);

    // Minimised (and, once it has a tray icon, hidden in the tray).
    ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(waitFor([&] { return IsIconic(w) || !IsWindowVisible(w); }, 5s));

    auto started = std::chrono::steady_clock::now();
    ChildProcess second(exe_);
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.waitExit(5000));
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    EXPECT_LT(took, 1000ms) << "the second start should end within a second";
    std::printf("second start ended after %lld ms\n", static_cast<long long>(took.count()));

    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(w) && !IsIconic(w); }, 3s));
    EXPECT_EQ(GetForegroundWindow(), w);
    EXPECT_EQ(countProcesses(L"Tarnix.exe"), 1);

    // A visible first instance is brought forward too. The second start touches none of
    // the running client's files, not even ones it would take for damaged or missing.
    const auto config = folder_.path() / "config.xml";
    const auto messages = folder_.path() / "MessageInfo.xml";
    std::string kept;
    {
        std::ifstream in(config, std::ios::binary);
        kept.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(config, std::ios::binary | std::ios::trunc) << "being written";
    std::filesystem::remove(messages);
    ChildProcess third(exe_);
    EXPECT_TRUE(third.waitExit(5000));
    EXPECT_EQ(countProcesses(L"Tarnix.exe"), 1);
    {
        std::ifstream in(config, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "being written");
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "config.xml.damaged"));
    EXPECT_FALSE(std::filesystem::exists(messages));
    std::ofstream(config, std::ios::binary | std::ios::trunc) << kept;

    exitClient(first, w);
    EXPECT_FALSE(IsWindow(w));

    // With the first gone, a new start proceeds.
    ChildProcess again(exe_);
    HWND w2 = waitForWindow(again);
    ASSERT_NE(w2, nullptr);
    exitClient(again, w2);
}

TEST_F(Client, LeftoverPropertyDoesNotBlockAStart) {
    // A window of ours carrying the property, as a crashed instance might leave behind.
    HWND stale = CreateWindowExW(0, L"STATIC", L"stale", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(stale, nullptr);
    SetPropW(stale, kProductTitle, reinterpret_cast<HANDLE>(1));

    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr) << "the client must start although a window carries the property";
    EXPECT_FALSE(client.waitExit(0));
    exitClient(client, w);

    RemovePropW(stale, kProductTitle);
    DestroyWindow(stale);
}

TEST_F(Client, ExitRemovesThePropertyAndReleasesTheMutex) {
    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    exitClient(client, w);
    HANDLE m = OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutexName);
    EXPECT_EQ(m, nullptr) << "the instance mutex outlived the client";
    if (m) CloseHandle(m);
}

// The shortcut panel's layout file is written at a first start, while the login page is
// still the one shown, so a peer reading it finds the panel's two folders.
TEST_F(Client, AFirstStartWritesSettingsIniBeforeTheShortcutTabIsShown) {
    const std::filesystem::path ini = folder_.path() / "Settings.ini";
    ASSERT_FALSE(std::filesystem::exists(ini));
    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(ini); }, 5s));
    EXPECT_EQ(systemProfile().readInt(ini, "Status", "FolderCount", 0), 2);
    EXPECT_EQ(systemProfile().readString(ini, "Folder", "1", ""),
              gbText(IDS_SHORTCUT_COMMON_SOFTWARE));
    EXPECT_EQ(systemProfile().readInt(ini, "ItemCount", "1", -1), 0);
    exitClient(client, w);
}

// Until it has dialled the client has nothing to tell the message server (and no link to
// reach it by): it opens its channel with the first notice, and from then on keeps it.
TEST_F(Client, TellsTheMessageServerOnceItHasDialledUntilItEnds) {
    Socket server = Socket::bindUdp("127.0.0.1", 0);
    ASSERT_TRUE(server.valid());
    std::ofstream(folder_.path() / "Provider.ini")
        << "[MessageServer]\r\nAddress=127.0.0.1\r\nPort=" << server.localPort() << "\r\n";
    InProcessLabAc labAc;
    useLabAc(labAc.endpoint(), false);

    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    unsigned char datagram[100] = {};
    EXPECT_EQ(server.receiveFrom(datagram, sizeof datagram, 1000), kSocketTimeout);

    PostMessageW(w, WM_COMMAND, ID_TOOL_CONNECT, 0);
    // Off line and on line for the account, and the keep-alive the channel starts with.
    std::multiset<unsigned char> types;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(server.receiveFrom(datagram, sizeof datagram, 20000), 44) << i;
        types.insert(datagram[0]);
        EXPECT_EQ(datagram[4], datagram[0] == 10 ? 'A' : 'd');
    }
    EXPECT_EQ(types, (std::multiset<unsigned char>{1, 2, 10}));

    // The keep-alive's 40-second pause does not hold up the exit. Under Wine on a display
    // without a window manager the exit itself takes about 4 s: removing the tray icon and
    // destroying the window each wait 2 s for a window manager that never answers.
    auto asked = std::chrono::steady_clock::now();
    exitClient(client, w);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 10s);
}

// The art is part of the program, but a program whose bitmaps were damaged (by a patcher,
// a virus scanner, a bad disk) must still open its window and work without them.
TEST_F(Client, OpensAndEndsWithItsBitmapsDamaged) {
    const int bitmaps[] = {IDB_MAIN_BACKGROUND, IDB_TOOLBAR_HOT, IDB_TOOLBAR_DISABLED,
                           IDB_TOOLBAR_NORMAL, IDB_TABS, IDB_LOGIN_BACKGROUND,
                           IDB_CONNECT_NORMAL, IDB_CAPTION_CLOSE, IDB_CAPTION_CLOSE_HOT,
                           IDB_CAPTION_MINIMIZE, IDB_CAPTION_MINIMIZE_HOT};
    // Where each bitmap lies in the file: a data-file load maps the file as it is.
    std::vector<std::streamoff> offsets;
    HMODULE copy = LoadLibraryExW(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(copy, nullptr);
    auto base = reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(copy) & ~3u);
    for (int id : bitmaps) {
        HRSRC found = FindResourceW(copy, MAKEINTRESOURCEW(id), RT_BITMAP);
        ASSERT_NE(found, nullptr) << id;
        offsets.push_back(static_cast<const char*>(LockResource(LoadResource(copy, found))) - base);
    }
    FreeLibrary(copy);
    {
        // The bitmap headers overwritten: no size, no planes, nothing to draw from.
        std::fstream file(exe_, std::ios::binary | std::ios::in | std::ios::out);
        const char garbage[16] = {};
        for (auto offset : offsets) file.seekp(offset).write(garbage, sizeof garbage);
    }
    copy = LoadLibraryExW(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int id : bitmaps)
        EXPECT_EQ(LoadImageW(copy, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0), nullptr) << id;
    FreeLibrary(copy);

    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    PostMessageW(w, WM_NCPAINT, 1, 0);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(w) != FALSE; }, 5s));
    EXPECT_FALSE(client.waitExit(500)) << "the client ended by itself";
    exitClient(client, w);
}

// The whole client against lab-ac: it connects at start with the remembered account, its
// menu commands disconnect and connect, and its exit ends the session and hangs up.
TEST_F(Client, ConnectsAtStartFollowsItsMenuAndHangsUpAtExit) {
    InProcessLabAc labAc;
    useLabAc(labAc.endpoint(), true);
    auto sessions = [&] {
        const std::string list = labAc.ask("LIST");
        return list.substr(list.rfind("END "));
    };
    auto records = [&] { return readRecordItems(currentRecordFile(folder_.path())); };
    auto closedRecords = [&] {
        int n = 0;
        for (const auto& r : records()) n += r.cause == normalCause();
        return n;
    };

    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(waitFor([&] { return sessions() == "END 1\n"; }, 20s)) << "connected at start";

    PostMessageW(w, WM_COMMAND, ID_MENU_DISCONNECT, 0);
    EXPECT_TRUE(waitFor([&] { return sessions() == "END 0\n" && closedRecords() == 1; }, 10s));
    PostMessageW(w, WM_COMMAND, ID_TOOL_CONNECT, 0);
    EXPECT_TRUE(waitFor([&] { return sessions() == "END 1\n" && records().size() == 2; }, 10s));

    exitClient(client, w);
    EXPECT_EQ(sessions(), "END 0\n") << "the link the client leaves is hung up";
    auto items = records();
    ASSERT_EQ(items.size(), 2u);
    for (const auto& item : items) {
        EXPECT_EQ(item.user, "demo");
        EXPECT_EQ(item.cause, normalCause());
    }
}

// Exiting while a dial is in progress gives the dial up rather than waiting for it, and
// nothing of it follows the exit: no session at lab-ac, no record, no on-line notice.
TEST_F(Client, ExitDuringADialGivesItUpAndLeavesNothingOfIt) {
    InProcessLabAc labAc;
    labAc.ask("DELAY 3000");
    useLabAc(labAc.endpoint(), true);
    std::ofstream(folder_.path() / "Provider.ini")
        << "[MessageServer]\r\nAddress=127.0.0.1\r\nPort=" << labAc.port() << "\r\n";

    ChildProcess client(exe_);
    HWND w = waitForWindow(client);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(waitFor([&] { return labAc.logged("dialling demo"); }, 20s));
    auto asked = std::chrono::steady_clock::now();
    exitClient(client, w);
    std::printf("exit during a dial took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - asked)
                                           .count()));

    EXPECT_TRUE(waitFor([&] { return labAc.logged("abandoned demo"); }, 2s))
        << "the dial was waited for, not given up";
    Sleep(3500);  // past the moment the dial would have been answered
    EXPECT_FALSE(labAc.logged("up ")) << "a session came of the dial";
    EXPECT_EQ(labAc.ask("LIST"), "END 0\n");
    EXPECT_TRUE(readRecordItems(currentRecordFile(folder_.path())).empty());
    EXPECT_EQ(labAc.ask("NOTICES").find("NOTICE online"), std::string::npos);
}

// A script drives the client by its switches: each asks the running client (one /connect
// starts it first), waits for the link and says how it went in its exit code.
class Scripted : public Client {
  protected:
    struct Run {
        DWORD code = STILL_ACTIVE;
        std::string output;
        std::filesystem::path file;
    };

    // Tarnix.exe with `args`, its output into a file; until it ends.
    Run run(const std::wstring& args) {
        const auto file = folder_.path() / ("output" + std::to_string(++runs_) + ".txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        ScopedFile out(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                   CREATE_ALWAYS, 0, nullptr));
        EXPECT_TRUE(out) << GetLastError();
        Run result;
        result.file = file;
        {
            ChildProcess p(exe_, args, out.get());
            out.reset();
            EXPECT_TRUE(p.waitExit(100000)) << "Tarnix.exe " << std::string(args.begin(), args.end());
            result.code = p.exitCode();
        }
        std::ifstream in(file, std::ios::binary);
        result.output.assign(std::istreambuf_iterator<char>(in), {});
        return result;
    }

    static HWND clientWindow() {
        HWND found = nullptr;
        EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                if (!GetPropW(w, kProductTitle)) return TRUE;
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    int runs_ = 0;
};

TEST_F(Scripted, ConnectStatusDisconnectAndARefusedDial) {
    InProcessLabAc labAc;
    useLabAc(labAc.endpoint(), false);
    auto sessions = [&] {
        const std::string list = labAc.ask("LIST");
        return list.substr(list.rfind("END "));
    };

    // Without a client nothing is up, and a disconnect has nothing to do.
    Run status = run(L"/status");
    EXPECT_EQ(status.code, 1u);
    EXPECT_EQ(status.output, "disconnected\r\n");
    EXPECT_EQ(run(L"/disconnect").code, 0u);
    EXPECT_EQ(countProcesses(L"Tarnix.exe"), 0) << "a disconnect started a client";

    // /connect starts the client and returns once the link is up. The client outlives it
    // and must not hold its output: a script's pipe would never end.
    Run connected = run(L"/connect");
    EXPECT_EQ(connected.code, 0u);
    ScopedFile output(CreateFileW(connected.file.c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(output) << "the client holds the output of the script that started it";
    EXPECT_EQ(sessions(), "END 1\n");
    HWND w = clientWindow();
    ASSERT_NE(w, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    ScopedHandle client(OpenProcess(SYNCHRONIZE, FALSE, pid));

    status = run(L"/STATUS");
    EXPECT_EQ(status.code, 0u);
    EXPECT_EQ(status.output.rfind("connected demo 10.64.0.", 0), 0u) << status.output;

    // Requests that are not ours change nothing and dial nothing.
    const int dials = labAc.countLogged("dialling demo");
    RemoteRequest request{static_cast<std::uint32_t>(RemoteVerb::Disconnect)};
    char garbage[64] = {1, 2, 3};
    const COPYDATASTRUCT strangers[] = {{kRemoteRequestTag, sizeof request + 1, garbage},
                                        {kRemoteRequestTag, sizeof request, nullptr},
                                        {kRemoteRequestTag + 1, sizeof request, &request},
                                        {kRemoteRequestTag, sizeof request, garbage}};
    for (const auto& copy : strangers) {
        DWORD_PTR answer = 7;
        EXPECT_TRUE(SendMessageTimeoutW(w, WM_COPYDATA, reinterpret_cast<WPARAM>(w),
                                        reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 5000,
                                        &answer));
        EXPECT_EQ(answer, FALSE);
    }
    for (const wchar_t* bad : {L"/bogus", L"/connect /connect", L"connect"}) {
        Run refused = run(bad);
        EXPECT_EQ(refused.code, 2u);
        EXPECT_NE(refused.output.find("/connect"), std::string::npos) << "the usage is shown";
    }
    EXPECT_EQ(sessions(), "END 1\n");

    EXPECT_EQ(run(L"/disconnect").code, 0u);
    EXPECT_EQ(sessions(), "END 0\n");
    EXPECT_EQ(run(L"/status").output, "disconnected\r\n");
    EXPECT_EQ(labAc.countLogged("dialling demo"), dials) << "a request nobody made dialled";

    // A refused dial is the exit code (a Unix shell sees it modulo 256).
    labAc.ask("REFUSE 1 691");
    EXPECT_EQ(run(L"/connect").code, 691u);
    EXPECT_EQ(sessions(), "END 0\n");

    auto records = readRecordItems(currentRecordFile(folder_.path()));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].cause, normalCause());

    PostMessageW(w, WM_COMMAND, ID_MENU_EXIT, 0);
    EXPECT_EQ(WaitForSingleObject(client.get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
