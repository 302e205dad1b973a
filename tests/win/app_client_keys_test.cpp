// The client as its own process against lab-ac, from the keyboard alone: the login page's
// account, Tab, password and Enter; Tab round the page while a slow dial runs, which the
// window shows; Ctrl+N, Ctrl+D and F1. A refused dial announces nothing to the provider's
// message server.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "app/win/DialerApp.h"
#include "dial/DialFailure.h"
#include "resource.h"
#include "../support/WinProcess.h"
#include "../support/lab_Server.h"

using namespace tarnix;
using namespace tarnix::testing;
using namespace std::chrono_literals;

namespace {

void press(WORD key, bool control = false) {
    std::vector<INPUT> keys;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        keys.push_back(input);
    };
    if (control) add(VK_CONTROL, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (control) add(VK_CONTROL, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void type(const char* text) {
    for (; *text; ++text) press(static_cast<WORD>(VkKeyScanA(*text) & 0xff));
}

// The client's windows, read from outside as a user's tools would.
struct ClientWindow {
    HWND main = nullptr, page = nullptr, toolbar = nullptr;

    explicit ClientWindow(HWND w) : main(w) {
        EnumChildWindows(
            w,
            [](HWND child, LPARAM self) -> BOOL {
                auto* window = reinterpret_cast<ClientWindow*>(self);
                wchar_t name[64] = {};
                GetClassNameW(child, name, 64);
                if (GetDlgCtrlID(child) == IDC_PASSWORD) window->page = GetParent(child);
                if (lstrcmpW(name, TOOLBARCLASSNAMEW) == 0) window->toolbar = child;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
    }
    HWND item(int id) const { return GetDlgItem(page, id); }
    // Another process's text is asked for: GetWindowText would give only a caption.
    static std::wstring textOf(HWND control) {
        wchar_t text[256] = {};
        SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::wstring status() const { return textOf(GetDlgItem(main, IDC_STATUS_LINE)); }
    std::wstring text(int id) const { return textOf(item(id)); }
    HWND focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus
                                                                                 : nullptr;
    }
    bool focusIn(int id) const {
        HWND f = focus();
        return f && (f == item(id) || IsChild(item(id), f));
    }
    // Where 登录 and 断开 stand, on the page and on the toolbar alike.
    bool commands(bool connect, bool disconnect) const {
        auto on = [&](int tool) { return SendMessageW(toolbar, TB_ISBUTTONENABLED, tool, 0) != 0; };
        return (IsWindowEnabled(item(IDC_CONNECT)) != 0) == connect &&
               (IsWindowEnabled(item(IDC_DISCONNECT)) != 0) == disconnect &&
               on(ID_TOOL_CONNECT) == connect && on(ID_TOOL_DISCONNECT) == disconnect;
    }
};

int onlineNotices(const InProcessLabAc& labAc) {
    const std::string list = labAc.ask("NOTICES");
    int n = 0;
    for (auto at = list.find("NOTICE online demo"); at != std::string::npos;
         at = list.find("NOTICE online demo", at + 1))
        ++n;
    return n;
}

TEST(ClientKeys, TheKeyboardAloneDialsAndHangsUpAndTheWindowShowsADialUnderWay) {
    TempFolder folder(L"keys");
    const auto exe = folder.path() / "Tarnix.exe";
    std::filesystem::copy_file(builtProgram(L"TARNIX_EXE", L"../Tarnix.exe"), exe);
    InProcessLabAc labAc;
    labAc.ask("DELAY 4000");  // a slow line
    std::ofstream(folder.path() / "LinkAgent.ini")
        << "[LinkAgent]\r\nMode=lab\r\nConcentrator=" << labAc.endpoint() << "\r\n";
    std::ofstream(folder.path() / "Provider.ini")
        << "[MessageServer]\r\nAddress=127.0.0.1\r\nPort=" << labAc.port() << "\r\n";
    ASSERT_EQ(countProcesses(L"Tarnix.exe"), 0) << "another client is already running";

    ChildProcess client(exe);
    HWND w = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            return (w = windowOf(client.id(), [](HWND h) {
                        return GetPropW(h, kProductTitle) != nullptr;
                    })) != nullptr;
        },
        20s));
    ClientWindow window(w);
    ASSERT_NE(window.page, nullptr);
    ASSERT_NE(window.toolbar, nullptr);
    SetForegroundWindow(w);
    ASSERT_TRUE(waitFor([&] { return window.focusIn(IDC_ACCOUNT); }, 5s))
        << "the window opens with the account box focused";
    EXPECT_TRUE(window.commands(true, false));

    // Account, Tab, password, Enter: the dial starts, and the window says so at once.
    type("demo");
    press(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return window.focusIn(IDC_PASSWORD); }, 2s));
    EXPECT_EQ(window.text(IDC_ACCOUNT), L"demo");
    type("wrong");
    ASSERT_TRUE(waitFor([&] { return window.text(IDC_PASSWORD) == L"wrong"; }, 2s));
    const auto pressed = std::chrono::steady_clock::now();
    press(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return window.status() == L"正在连接…" && window.commands(false, true); },
                        1s))
        << "within a second of Enter";
    std::printf("the dial showed after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - pressed)
                                           .count()));
    EXPECT_TRUE(labAc.logged("dialling demo"));

    // Tab walks on past the greyed 登录 to 断开, to the toolbar, the page tabs and round to
    // the account box.
    const int kToolbar = 0;
    for (int id : {IDC_REMEMBER, IDC_DISCONNECT, kToolbar, IDC_TABS, IDC_ACCOUNT}) {
        press(VK_TAB);
        EXPECT_TRUE(waitFor([&] {
            if (id == kToolbar) return window.focus() == window.toolbar;
            return id == IDC_TABS ? window.focus() == GetDlgItem(window.main, IDC_TABS)
                                  : window.focusIn(id);
        }, 2s)) << id;
    }

    // The slow line refuses the wrong password (or gives up): 登录 is back, and nothing
    // was announced.
    ASSERT_TRUE(waitFor([&] { return window.commands(true, false); }, 6s));
    EXPECT_NE(window.status(), L"正在连接…");

    // Ctrl+N dials what the page shows: a refusal first, then the right password.
    labAc.ask("DELAY 0");
    labAc.ask("REFUSE 1 691");
    press('N', true);
    const std::wstring refused = dialFailureText(kDialErrorAuthentication);
    ASSERT_TRUE(waitFor([&] { return window.status() == refused; }, 5s));
    EXPECT_TRUE(window.commands(true, false));
    press(VK_TAB);  // into the password box, its text selected
    ASSERT_TRUE(waitFor([&] { return window.focusIn(IDC_PASSWORD); }, 2s));
    type("demo");
    press('N', true);
    ASSERT_TRUE(waitFor([&] { return labAc.ask("LIST").find("END 1") != std::string::npos; }, 5s));
    EXPECT_TRUE(waitFor([&] { return window.commands(false, true); }, 2s));
    EXPECT_TRUE(waitFor([&] { return onlineNotices(labAc) == 1; }, 3s))
        << "one on-line notice, for the dial that succeeded";

    // Ctrl+D hangs up.
    press('D', true);
    EXPECT_TRUE(waitFor([&] { return labAc.ask("LIST") == "END 0\n"; }, 5s));
    EXPECT_TRUE(waitFor([&] { return window.commands(true, false); }, 2s));

    // F1 opens the help, which this copy does not have: it says so.
    press(VK_F1);
    HWND told = nullptr;
    EXPECT_TRUE(waitFor(
        [&] {
            return (told = windowOf(client.id(), [&](HWND h) {
                        return h != w && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == w;
                    })) != nullptr;
        },
        5s))
        << "no word of the help";
    if (told) PostMessageW(told, WM_CLOSE, 0, 0);
    EXPECT_EQ(onlineNotices(labAc), 1) << "the refused dials announced nothing";
}

}  // namespace
