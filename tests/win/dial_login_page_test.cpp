// The login page in a window of its own, as the main window holds it: over fakes for the
// form and the commands it shows, and against lab-ac for a whole session.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>

#include "TextIds.h"
#include "base/Texts.h"
#include "../support/DialRig.h"
#include "../support/lab_Server.h"
#include "../support/PromptRecorder.h"
#include "../support/WindowPump.h"
#include "dial/win/LoginPage.h"
#include "records/MonthFile.h"
#include "resource.h"
#include "base/CodePage.h"
#include "store/PasswordCipher.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::pumpUntil;
using testing::readRecordItems;

// Stands in for the main window: it has the menu and the status line, and counts notices.
// The page's window and what it is told to show; every report must arrive on this thread.
class HostWindow : public Dialog, public LinkDisplay {
  public:
    HostWindow() : Dialog(IDD_MAIN) {}
    int linkUps = 0, linkDowns = 0, wrongThread = 0;
    bool commandsConnected = false;
    std::wstring status;

    void showCommandState(bool connected) override {
        check();
        commandsConnected = connected;
    }
    void showDialling(int attempt, int) override {
        check();
        dialling.push_back(attempt);
    }
    std::vector<int> dialling;  // the attempts shown
    void showStatus(const std::wstring& text) override {
        check();
        status = text;
    }
    void linkUp() override {
        check();
        ++linkUps;
    }
    void linkDown() override {
        check();
        ++linkDowns;
    }
    void dialFailed(const std::wstring& text) override {
        check();
        failures.push_back(text);
    }
    std::vector<std::wstring> failures;

  private:
    void check() {
        if (GetWindowThreadProcessId(hwnd(), nullptr) != GetCurrentThreadId()) ++wrongThread;
    }
};

class LoginPageTest : public ::testing::Test {
  protected:
    // Opens the page in the host over the rig's fakes.
    void open() {
        page_ = std::make_unique<LoginPage>(*rig_.config, rig_.connectManage.get(),
                                            recordFolderBeside(rig_.folder), &host_);
        ASSERT_NE(host_.create(nullptr), nullptr);
        ASSERT_NE(page_->create(host_.hwnd()), nullptr);
        page_->setMessageChannel(&rig_.notices);
    }
    void type(int id, const wchar_t* text) { SetDlgItemTextW(page_->hwnd(), id, text); }
    void click(int id) {
        SendMessageW(page_->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page_->item(id)));
    }
    std::wstring text(int id) { return page_->itemText(id); }
    // Types an account and a password and presses the connect button.
    void submit(const wchar_t* account, const wchar_t* password) {
        type(IDC_ACCOUNT, account);
        type(IDC_PASSWORD, password);
        click(IDC_CONNECT);
    }
    // Picks entry `index` of the account list, as the user does.
    void choose(int index) {
        HWND accounts = page_->item(IDC_ACCOUNT);
        SendMessageW(accounts, CB_SETCURSEL, index, 0);
        SendMessageW(page_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_ACCOUNT, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(accounts));
    }

    testing::DialRig rig_{"page"};
    HostWindow host_;
    std::unique_ptr<LoginPage> page_;
    testing::PromptRecorder recorder_;
    std::vector<PromptRequest>& prompts_ = recorder_.asked;
};

TEST_F(LoginPageTest, OpensWithTheLastUserAndListsEveryDialEntry) {
    const std::string cipher = PasswordCipher::EncryptPassword("secret");
    rig_.config->SaveAccount(kDialEntryName, cipher, utf8ToGb("张三"));
    rig_.config->SaveAccount(kDialEntryName, "", "bob");
    rig_.config->SetLastAccount(cipher, utf8ToGb("张三"));
    rig_.backend->entries = {"VPN to work", kDialEntryName, "Old modem"};
    open();

    EXPECT_EQ(text(IDC_ACCOUNT), L"张三");
    EXPECT_EQ(text(IDC_PASSWORD), gbToWide(cipher));
    EXPECT_EQ(IsDlgButtonChecked(page_->hwnd(), IDC_REMEMBER), BST_CHECKED);
    EXPECT_EQ(SendMessageW(page_->item(IDC_ACCOUNT), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(page_->item(IDC_DEVICES), nullptr) << "the entries wait until the window shows";
    page_->listDialEntries();
    page_->listDialEntries();  // once only
    HWND devices = page_->item(IDC_DEVICES);
    EXPECT_EQ(SendMessageW(devices, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(devices, CB_GETCURSEL, 0, 0), 1) << "the PPPoE entry is selected";
    EXPECT_FALSE(IsWindowVisible(devices));
    EXPECT_TRUE(page_->hasAccountAndPassword());
}

TEST_F(LoginPageTest, ChoosingAnAccountShowsItsSavedPassword) {
    rig_.config->SaveAccount(kDialEntryName, "aaaaaaaaaaaaaaaa", "ann");
    rig_.config->SaveAccount(kDialEntryName, "bbbbbbbbbbbbbbbb", "ben");
    open();
    choose(0);
    EXPECT_EQ(text(IDC_PASSWORD), L"aaaaaaaaaaaaaaaa");

    click(IDC_REMEMBER);  // remember off: a choice shows no password
    EXPECT_FALSE(rig_.config->GetSavePassword());
    choose(1);
    EXPECT_EQ(text(IDC_ACCOUNT), L"ben");
    EXPECT_EQ(text(IDC_PASSWORD), L"");
}

TEST_F(LoginPageTest, RefusalsShowTheStopIconAndDialNothing) {
    open();
    page_->startMonitors();
    submit(L"", L"pw");
    submit(L"carl", L"12345678901234567");
    ASSERT_EQ(prompts_.size(), 2u);
    EXPECT_EQ(prompts_[0].text, tarnix::text(IDS_NO_ACCOUNT));
    EXPECT_EQ(prompts_[1].text, tarnix::text(IDS_PASSWORD_TOO_LONG));
    for (const auto& p : prompts_) {
        EXPECT_EQ(p.caption, tarnix::text(IDS_PROMPT_CAPTION));
        EXPECT_EQ(p.icon, PromptIcon::Stop);
        EXPECT_EQ(p.owner, page_->hwnd());
    }
    page_->stopMonitors();
    EXPECT_TRUE(rig_.backend->dialled().empty());
}

TEST_F(LoginPageTest, TheCommandsAndStatusLineFollowTheLinkAndEscapeIsSwallowed) {
    open();
    page_->startMonitors();
    submit(L"dora", L"pw");
    // The command state and the status line reach the window as two reports.
    ASSERT_TRUE(pumpUntil([&] {
        return host_.linkUps == 1 && host_.commandsConnected &&
               host_.status == L"已经成功地建立了连接";
    }));
    EXPECT_TRUE(page_->connectedState());
    EXPECT_EQ(SendMessageW(page_->item(IDC_ACCOUNT), CB_GETCOUNT, 0, 0), 1)
        << "a new account joins the list";

    MSG escape{page_->item(IDC_PASSWORD), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(page_->filterMessage(escape));
    MSG letter{page_->item(IDC_PASSWORD), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_FALSE(page_->filterMessage(letter));

    // The page's cancel is the disconnect command.
    SendMessageW(page_->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] {
        return host_.linkDowns == 1 && !host_.commandsConnected &&
               host_.status == L"欢迎使用澄远宽带拨号客户端";
    }));
    EXPECT_FALSE(page_->connectedState());
    page_->stopMonitors();
    EXPECT_EQ(rig_.backend->hungUp().size(), 1u);
    EXPECT_EQ(host_.wrongThread, 0) << "reports reach the display on its window's thread";
}

// ---- against lab-ac ----------------------------------------------------------------------

class LabLoginPage : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_);
        std::ofstream(folder_ / "LinkAgent.ini", std::ios::binary)
            << "[LinkAgent]\r\nMode=lab\r\nConcentrator=" << labAc_.endpoint() << "\r\n";
    }
    void TearDown() override {
        page_.reset();
        manage_.reset();
        config_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::vector<testing::RecordItem> items() {
        return readRecordItems(testing::currentRecordFile(folder_));
    }

    testing::InProcessLabAc labAc_{"10.77.0.5-10.77.0.9"};
    fs::path folder_ = fs::temp_directory_path() /
                       ("tarnix-labpage-" + std::to_string(GetCurrentProcessId()));
    std::unique_ptr<ConfigStore> config_;
    std::unique_ptr<CConnectManage> manage_;
    HostWindow host_;
    std::unique_ptr<LoginPage> page_;
};

TEST_F(LabLoginPage, DialsRecordsADropRedialsAndADisconnectClosesWithTheCounters) {
    config_ = std::make_unique<ConfigStore>(folder_);
    config_->SetReconnect(true);
    config_->SetRedial("1", 3);
    manage_ = std::make_unique<CConnectManage>(folder_, systemDialing());
    ASSERT_EQ(manage_->mode(), "lab");
    page_ =
        std::make_unique<LoginPage>(*config_, manage_.get(), recordFolderBeside(folder_), &host_);
    ASSERT_NE(host_.create(nullptr), nullptr);
    ASSERT_NE(page_->create(host_.hwnd()), nullptr);
    ASSERT_EQ(page_->startMonitors(), 0);

    SetDlgItemTextW(page_->hwnd(), IDC_ACCOUNT, L"demo");
    SetDlgItemTextW(page_->hwnd(), IDC_PASSWORD, L"demo");
    page_->connectCommand();
    ASSERT_TRUE(pumpUntil([&] { return page_->connectedState(); }));
    auto records = items();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].user, "demo");
    EXPECT_EQ(records[0].ip, "10.77.0.5");
    EXPECT_EQ(records[0].end, "");

    EXPECT_EQ(labAc_.ask("DROP all"), "OK 1 dropped\n");
    ASSERT_TRUE(pumpUntil([&] { return items().size() == 2 && host_.linkUps == 2; }))
        << "Reconnect dials again";
    records = items();
    EXPECT_EQ(records[1].cause, abnormalCause());
    EXPECT_FALSE(records[1].end.empty());
    EXPECT_EQ(records[0].end, "");
    EXPECT_EQ(host_.linkDowns, 1);
    EXPECT_EQ(host_.linkUps, 2);

    Sleep(300);  // let lab-ac's counters run
    page_->disconnectCommand();
    ASSERT_TRUE(pumpUntil([&] { return !page_->connectedState(); }));
    records = items();
    ASSERT_EQ(records.size(), 2u) << "no redial after the user's disconnect";
    EXPECT_EQ(records[0].cause, normalCause());
    EXPECT_GT(std::stol(records[0].sent), 0);
    EXPECT_GT(std::stol(records[0].received), 0);
    page_->stopMonitors();
}

}  // namespace
}  // namespace tarnix
