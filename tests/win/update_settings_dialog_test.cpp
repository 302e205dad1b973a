// The "升级设置" page inside the settings dialog: its tab shows it, a change enables "应用"
// and "确定" stores the mode.
#include <gtest/gtest.h>

#include <windows.h>

#include "../core/update_fixture.h"
#include "../support/DialogDriver.h"
#include "../support/FakeClock.h"
#include "settings/win/SettingsDialog.h"
#include "update/win/UpdateSettingsPage.h"
#include "settings_ids.h"
#include "store/ConfigStore.h"
#include "update_ids.h"

namespace tarnix {
namespace {

// The other pages' system services, left alone.
class NoRunValue : public StartupRegistration {
  public:
    RunValue query(const std::filesystem::path&) override { return RunValue::Absent; }
    bool add(const std::filesystem::path&) override { return true; }
    void remove() override {}
};

class NoProxy : public ConnectionProxy {
  public:
    bool query(std::string_view, ConnectionProxySetting& out) override {
        out = {};
        return true;
    }
    bool set(std::string_view, std::string_view, std::string_view) override { return true; }
    bool clear(std::string_view) override { return true; }
};

TEST(UpdateSettingsInDialog, ManualChosenOnItsTabIsStoredByOk) {
    testing::UpdateFolders folders;
    ConfigStore config(folders.program());
    testing::FakeClock clock;
    NoRunValue startup;
    NoProxy proxy;
    SettingsDialog dialog(
        {config, clock, startup, proxy, folders.program() / "Tarnix.exe", makeUpdatePage});
    ASSERT_TRUE(testing::driveNextDialog([&] { dialog.runModal(nullptr); },
                                         [&](testing::DialogDriver& d) {
        d.chooseTab(IDC_SETTINGS_TABS, 1);
        testing::DialogDriver page(dialog.page(SettingsPageId::Update).hwnd());
        EXPECT_TRUE(IsWindowVisible(page.hwnd()));
        EXPECT_TRUE(page.checked(IDC_UPDATE_AUTOMATIC));
        EXPECT_FALSE(d.enabled(IDC_SETTINGS_APPLY));
        page.click(IDC_UPDATE_MANUAL);
        EXPECT_TRUE(page.checked(IDC_UPDATE_MANUAL));
        EXPECT_FALSE(page.checked(IDC_UPDATE_AUTOMATIC)) << "one choice at a time";
        EXPECT_TRUE(d.enabled(IDC_SETTINGS_APPLY));
        d.click(IDOK);
    }));
    EXPECT_FALSE(config.GetUpdateCheck());
}

}  // namespace
}  // namespace tarnix
