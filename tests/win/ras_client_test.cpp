// The client's executable in ras mode, end to end: the real remote-access binding over the
// stand-in (tests/rasapi32), lab-ac behind it. Entry made on first start, connect, record,
// a drop from lab-ac and the redial, disconnect, refusals on the status line, and an exit
// during a stalled dial.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "app/win/DialerApp.h"
#include "base/DialEntry.h"
#include "records/MonthFile.h"
#include "resource.h"
#include "base/CodePage.h"
#include "../support/DialRig.h"
#include "ras_StandIn.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

HWND mainWindowOf(DWORD pid) {
    return windowOf(pid, [](HWND w) { return GetPropW(w, kProductTitle) != nullptr; });
}

std::wstring statusLine(HWND window) {
    wchar_t text[256] = L"";
    GetDlgItemTextW(window, IDC_STATUS_LINE, text, 256);
    return text;
}

TEST(RasClient, DialsDropsRedialsAndEndsOverTheRemoteAccessService) {
    if (standInControl()) GTEST_SKIP() << "the client is started over the stand-in from outside";
    InProcessLabAc labAc;
    TempFolder folder{L"rasclient"};
    ASSERT_TRUE(placeWithStandIn(builtProgram(L"TARNIX_EXE", L"../Tarnix.exe"), folder.path(),
                                 L"TarnixRas.exe"));
    // No LinkAgent.ini: ras mode. Connect at start; redial at once after a drop.
    writeDemoConfig(folder.path(), "<Alwaysconnect>1</Alwaysconnect>\r\n");
    // The first start on a new account: the user has no phonebook file yet.
    const std::wstring entry = gbToWide(kDialEntryName);
    DeleteFileW(userPhonebook().c_str());

    ScopedEnvironment environment;
    environment.set(L"TARNIX_STANDIN_AC", gbToWide(labAc.endpoint()));
    environment.overrideRasapi(L"TarnixRas.exe");
    auto sessions = [&] {
        const std::string list = labAc.ask("LIST");
        return list.substr(list.rfind("END "));
    };
    auto records = [&] { return readRecordItems(currentRecordFile(folder.path())); };

    ChildProcess client(folder.path() / "TarnixRas.exe");
    ASSERT_TRUE(client.started());
    HWND w = nullptr;
    ASSERT_TRUE(waitFor([&] { return (w = mainWindowOf(client.id())) != nullptr; }, 20s));

    // Connected at start, on the entry it made in the user's phonebook.
    ASSERT_TRUE(waitFor([&] { return sessions() == "END 1\n" && records().size() == 1; }, 20s))
        << "status: " << wideToGb(statusLine(w));
    wchar_t device[32] = L"";
    GetPrivateProfileStringW(entry.c_str(), L"DEVICE", L"", device, 32, userPhonebook().c_str());
    EXPECT_STREQ(device, L"PPPoE");
    const std::string list = labAc.ask("LIST");
    const std::string address = list.substr(0, list.find('\n'));
    ASSERT_FALSE(records().empty());
    EXPECT_FALSE(records()[0].ip.empty());
    EXPECT_NE(address.find(" " + records()[0].ip + " "), std::string::npos)
        << "the record's address is lab-ac's: " << address;

    // lab-ac drops the link: the record closes as 非法断开 and the policy dials again, which
    // only works once the dead link's handle has been hung up.
    labAc.ask("DROP all");
    EXPECT_TRUE(waitFor(
        [&] {
            auto items = records();
            return items.size() == 2 && items[1].cause == abnormalCause() &&
                   sessions() == "END 1\n";
        },
        20s))
        << "records " << records().size() << ", " << sessions();

    // A disconnect closes the record normally with the link's counters.
    Sleep(1500);
    PostMessageW(w, WM_COMMAND, ID_MENU_DISCONNECT, 0);
    EXPECT_TRUE(waitFor(
        [&] {
            auto items = records();
            return !items.empty() && items[0].cause == normalCause() &&
                   sessions() == "END 0\n";
        },
        10s));
    auto items = records();
    ASSERT_FALSE(items.empty());
    EXPECT_NE(items[0].received, "0");
    EXPECT_FALSE(items[0].received.empty());

    // Refusals reach the status line with their numbers.
    for (const char* refusal : {"691", "623"}) {
        labAc.ask(std::string("REFUSE 1 ") + refusal);
        PostMessageW(w, WM_COMMAND, ID_TOOL_CONNECT, 0);
        EXPECT_TRUE(waitFor(
            [&] { return statusLine(w).find(gbToWide(refusal)) != std::wstring::npos; }, 10s))
            << refusal << ": " << wideToGb(statusLine(w));
    }
    // A dial that lab-ac holds, as a dead line would, does not hold up the exit.
    EXPECT_EQ(sessions(), "END 0\n");
    labAc.ask("DELAY 20000");
    PostMessageW(w, WM_COMMAND, ID_TOOL_CONNECT, 0);
    ASSERT_TRUE(waitFor([&] { return labAc.logged("dialling demo"); }, 10s));
    const auto asked = std::chrono::steady_clock::now();
    auto since = [&] {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - asked)
                                          .count());
    };
    PostMessageW(w, WM_COMMAND, ID_MENU_EXIT, 0);
    // The exit command gives the dial up at once. Under Wine without a window manager the
    // rest of the exit takes about 4 s (hiding the window and removing the tray icon each
    // wait 2 s for one); the dial is not waited out.
    EXPECT_TRUE(waitFor([&] { return labAc.logged("abandoned demo"); }, 10s))
        << "the stalled dial was waited for";
    const long long abandonedAfter = since();
    EXPECT_TRUE(client.waitExit(10000));
    std::printf("ras mode: exit during a stalled dial: dial given up after %lld ms, "
                "program ended after %lld ms\n",
                abandonedAfter, since());
    EXPECT_LT(since(), 10000);
    labAc.ask("DELAY 0");
    EXPECT_EQ(sessions(), "END 0\n");
}

}  // namespace
