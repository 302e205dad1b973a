// The user management page over a configuration in a folder of its own: marks, saving
// through the store, and leaving without saving.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../support/DialogDriver.h"
#include "../support/PromptRecorder.h"
#include "base/DialEntry.h"
#include "records/win/UserManagementDialog.h"
#include "records_ids.h"
#include "base/CodePage.h"
#include "store/ConfigStore.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::driveNextDialog;
using testing::PromptRecorder;
using Rows = std::vector<std::vector<std::wstring>>;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class UserManagementPageTest : public ::testing::Test {
  protected:
    UserManagementPageTest()
        : folder_(fs::temp_directory_path() /
                  ("tarnix-users-" + std::to_string(GetCurrentProcessId()))) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        store_ = std::make_unique<ConfigStore>(folder_);
        store_->SaveAccount(kDialEntryName, "", utf8ToGb("张三"));
        store_->SaveAccount(kDialEntryName, "", "bob");
        store_->SaveAccount(kDialEntryName, "", "carol");
        store_->SetLastAccount("", "bob");
    }
    ~UserManagementPageTest() override {
        store_.reset();
        fs::remove_all(folder_);
    }
    std::vector<std::string> accounts() {
        std::vector<std::string> names, passwords;
        store_->ListAccounts(kDialEntryName, names, passwords);
        return names;
    }

    fs::path folder_;
    std::unique_ptr<ConfigStore> store_;
};

TEST_F(UserManagementPageTest, SavingRemovesTheMarkedAccountAndTheLastUserNamingIt) {
    UserManagementDialog dialog(*store_);
    ASSERT_TRUE(driveNextDialog(
        [&] { dialog.runModal(nullptr); },
        [&](DialogDriver& page) {
            EXPECT_EQ(page.rows(IDC_USER_LIST),
                      (Rows{{L"1", L"张三"}, {L"2", L"bob"}, {L"3", L"carol"}}));
            EXPECT_FALSE(page.enabled(IDC_USER_SAVE));
            {
                PromptRecorder prompts;
                page.click(IDC_USER_DELETE);
                ASSERT_EQ(prompts.asked.size(), 1u);
                EXPECT_EQ(prompts.asked[0].text, L"请选择待删除的记录！");
            }
            ListView(page.control(IDC_USER_LIST)).select(1);
            page.click(IDC_USER_DELETE);
            EXPECT_EQ(page.rows(IDC_USER_LIST), (Rows{{L"1", L"张三"}, {L"3", L"carol"}}))
                << "the rows keep their numbers";
            EXPECT_EQ(accounts().size(), 3u) << "a mark alone changes nothing";
            ASSERT_TRUE(page.click(IDC_USER_SAVE));
            page.click(IDCANCEL);
        }));
    EXPECT_EQ(accounts(), (std::vector<std::string>{utf8ToGb("张三"), "carol"}));
    std::vector<std::string> last, passwords;
    EXPECT_FALSE(store_->GetLastAccount(last, passwords)) << "LastUser named bob";
    EXPECT_EQ(readAll(folder_ / "config.xml").find("bob"), std::string::npos);
}

TEST_F(UserManagementPageTest, LeavingWithoutSavingKeepsTheConfiguration) {
    const std::string before = readAll(folder_ / "config.xml");
    UserManagementDialog dialog(*store_);
    ASSERT_TRUE(driveNextDialog([&] { dialog.runModal(nullptr); },
                                [](DialogDriver& page) {
                                    ListView(page.control(IDC_USER_LIST)).selectAll();
                                    page.click(IDC_USER_DELETE);
                                    EXPECT_TRUE(page.rows(IDC_USER_LIST).empty());
                                    EXPECT_TRUE(page.enabled(IDC_USER_SAVE));
                                    page.click(IDCANCEL);
                                }));
    EXPECT_EQ(readAll(folder_ / "config.xml"), before);
}

}  // namespace
}  // namespace tarnix
