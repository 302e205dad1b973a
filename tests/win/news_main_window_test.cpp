// The news window from the main window: its menu item and the run's first link-up (when
// Provider.ini asks) open it once, beside the main window; nothing opens it again.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <vector>

#include "../support/DialRig.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"
#include "../support/WindowPump.h"
#include "app/win/MainWindow.h"
#include "resource.h"

namespace tarnix {
namespace {

using testing::pumpPending;
using testing::pumpUntil;

// The news windows of this thread owned by `owner`.
std::vector<HWND> newsWindows(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t caption[16] = L"";
            GetWindowTextW(w, caption, 16);
            if (GetWindow(w, GW_OWNER) == s->owner && lstrcmpW(caption, L"澄远资讯") == 0)
                s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class NewsFromMainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(rig_.folder / "Provider.ini", std::ios::binary)
            << "[News]\r\nHost=127.0.0.1:9\r\nShowAfterConnect=1\r\n";
        window_ = std::make_unique<MainWindow>(MainWindow::Services{
            *rig_.config, rig_.connectManage.get(), rig_.folder, &rig_.clock, &power_});
        ASSERT_NE(window_->create(nullptr), nullptr);
        pumpPending();
    }
    void TearDown() override {
        if (window_ && window_->hwnd()) DestroyWindow(window_->hwnd());
        window_.reset();
        pumpPending();
    }
    HWND hwnd() { return window_->hwnd(); }
    void command(int id) { SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool linkShown(bool up) { return window_->loginPage()->connectedState() == up; }

    testing::DialRig rig_{"news"};
    testing::PromptRecorder prompts_;
    testing::RecordingPower power_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(NewsFromMainWindowTest, TheFirstLinkUpOpensItOnceBesideTheMainWindowAndTheMenuAgain) {
    EXPECT_TRUE(newsWindows(hwnd()).empty());  // nothing at start-up
    HWND page = window_->loginPage()->hwnd();
    SetDlgItemTextW(page, IDC_ACCOUNT, L"dora");
    SetDlgItemTextW(page, IDC_PASSWORD, L"pw");
    command(ID_MENU_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return linkShown(true) && newsWindows(hwnd()).size() == 1; }));
    HWND news = newsWindows(hwnd())[0];
    RECT main, placed;
    GetWindowRect(hwnd(), &main);
    GetWindowRect(news, &placed);
    EXPECT_EQ(placed.right, main.left - 30);

    // A later link-up, the menu item and the message itself open no second window.
    command(ID_MENU_DISCONNECT);
    ASSERT_TRUE(pumpUntil([&] { return linkShown(false); }));
    command(ID_MENU_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return linkShown(true); }));
    command(ID_NEWS);
    EXPECT_EQ(SendMessageW(hwnd(), WM_NEWS_WINDOW, 0, 0), 0);
    pumpPending();
    EXPECT_EQ(newsWindows(hwnd()).size(), 1u);

    // Once closed, the message opens nothing more this run, but the subscriber's menu
    // item opens the news again.
    SendMessageW(news, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(news); }));
    SendMessageW(hwnd(), WM_NEWS_WINDOW, 0, 0);
    pumpPending();
    EXPECT_TRUE(newsWindows(hwnd()).empty());
    command(ID_NEWS);
    pumpPending();
    EXPECT_EQ(newsWindows(hwnd()).size(), 1u);
    EXPECT_TRUE(prompts_.asked.empty());
}

}  // namespace
}  // namespace tarnix
