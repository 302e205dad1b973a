// The client as its own process against lab-ac and a loopback web server that publishes
// the provider's messages: after the link comes up the list is fetched (WinINet for
// real), the messages are stored, a pop-up shows the first and the centre lists them all.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <iterator>

#include "../support/WinProcess.h"
#include "../support/lab_Server.h"
#include "../support/update_HttpServer.h"
#include "../support/update_Signer.h"
#include "app/win/DialerApp.h"
#include "messages_ids.h"
#include "resource.h"
#include "base/CodePage.h"
#include "store/PasswordCipher.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(MessagesClient, AfterLinkUpTheProvidersMessagesArrivePopUpAndFillTheCentre) {
    ASSERT_EQ(countProcesses(L"Tarnix.exe"), 0) << "another client is already running";
    TempFolder folder{L"messages"};
    const auto exe = folder.path() / "Tarnix.exe";
    std::filesystem::copy_file(builtProgram(L"TARNIX_EXE", L"../Tarnix.exe"), exe);

    UpdateHttpServer web;
    const std::string list =
        readAll(builtProgram(L"TARNIX_LAB_MESSAGES", L"../../../tools/lab-provider/messages.xml"));
    ASSERT_FALSE(list.empty());
    tarnix::testing::serveSigned(web, "/messages.xml", list);

    InProcessLabAc labAc;
    std::ofstream(folder.path() / "LinkAgent.ini")
        << "[LinkAgent]\r\nMode=lab\r\nConcentrator=" << labAc.endpoint() << "\r\n";
    std::ofstream(folder.path() / "Provider.ini")
        << "[Messages]\r\nURL=" << web.url("/messages.xml") << "\r\n"
        << tarnix::testing::providerKeyLines();
    const std::string demo = "<User NAME=\"demo\" PASSWORD=\"" +
                             PasswordCipher::EncryptPassword("demo") + "\"/>";
    std::ofstream(folder.path() / "config.xml", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<CONFIG>\r\n"
           "<passwordstatus>1</passwordstatus>\r\n<Autoconnect>1</Autoconnect>\r\n"
           "<pppoe_brelvan_default_entry>\r\n" << demo << "\r\n</pppoe_brelvan_default_entry>\r\n"
           "<LastUser>\r\n" << demo << "\r\n</LastUser>\r\n</CONFIG>\r\n";

    ChildProcess client(exe);
    ASSERT_TRUE(client.started());
    HWND main = nullptr;
    ASSERT_TRUE(waitFor([&] {
        return (main = windowOf(client.id(), [](HWND w) { return GetPropW(w, kProductTitle) != nullptr; })) != nullptr;
    }, 20s));

    const auto store = folder.path() / "MessageInfo.xml";
    EXPECT_TRUE(waitFor([&] { return web.requests("/messages.xml") >= 1; }, 30s)) << "fetched after link-up";
    EXPECT_TRUE(waitFor([&] { return readAll(store).find(utf8ToGb("续费优惠")) != std::string::npos; }, 10s));
    HWND popup = nullptr;
    EXPECT_TRUE(waitFor([&] {
        return (popup = windowOf(client.id(), [](HWND w) {
                    return IsWindowVisible(w) && GetDlgItem(w, IDC_POPUP_TITLE) != nullptr;
                })) != nullptr;
    }, 10s));
    if (popup) {
        wchar_t title[64] = L"";
        GetDlgItemTextW(popup, IDC_POPUP_TITLE, title, 64);
        EXPECT_STREQ(title, L"欢迎使用澄远宽带");
    }

    PostMessageW(main, WM_COMMAND, ID_MESSAGE_CENTER, 0);
    HWND centre = nullptr;
    ASSERT_TRUE(waitFor([&] {
        return (centre = windowOf(client.id(), [](HWND w) {
                    wchar_t text[32] = L"";
                    GetWindowTextW(w, text, 32);
                    return lstrcmpW(text, L"历史消息管理") == 0;
                })) != nullptr;
    }, 10s));
    EXPECT_TRUE(waitFor([&] {
        return SendMessageW(GetDlgItem(centre, IDC_MSG_LIST), LVM_GETITEMCOUNT, 0, 0) == 3;
    }, 5s)) << "the centre lists the three messages";

    PostMessageW(main, WM_COMMAND, ID_MENU_EXIT, 0);
    EXPECT_TRUE(client.waitExit(15000));
    const std::string stored = readAll(store);
    size_t items = 0;
    for (size_t at = stored.find("<ITEM"); at != std::string::npos; at = stored.find("<ITEM", at + 1))
        ++items;
    EXPECT_EQ(items, 3u) << "each message once";
}

}  // namespace
