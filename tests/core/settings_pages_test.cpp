// The scheduled-shutdown page over a config.xml in a temporary folder, and the settings
// dialog's save order and dirty flag.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "TextIds.h"
#include "base/Texts.h"
#include "settings/SettingsDialogModel.h"
#include "settings/ShutdownForm.h"
#include "../support/FakeClock.h"
#include "../support/PromptRecorder.h"
#include "../support/RecordingPower.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

constexpr LocalTime kNow{2009, 5, 20, 12, 30, 0};

class ShutdownPage : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-shutdownpage-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        config_.emplace(dir_);
        form_.emplace(*config_, clock_);
        clock_.set(kNow);
    }
    void TearDown() override {
        form_.reset();
        config_.reset();
        fs::remove_all(dir_);
    }
    std::pair<std::string, std::string> stored() {
        std::string time, type;
        config_->GetShutdown(time, type);
        return {time, type};
    }
    ShutdownFields at(LocalTime when, int action = 0) {
        LocalTime date = when;
        date.hour = 3;  // the date picker's time of day does not count
        return {true, action, date, when};
    }

    fs::path dir_;
    std::optional<ConfigStore> config_;
    testing::FakeClock clock_;
    testing::PromptRecorder prompts_;
    std::optional<ShutdownForm> form_;
};

// The default is a time the page accepts as it stands: ticking the box and applying it
// schedules the next full hour, also across a day's, a month's and a year's end.
TEST_F(ShutdownPage, WithoutAScheduleTheBoxIsClearAndThePickersShowTheNextFullHour) {
    const std::pair<LocalTime, const char*> cases[] = {
        {kNow, "2009-5-20 13:00:00"},
        {{2009, 5, 20, 12, 0, 0}, "2009-5-20 13:00:00"},
        {{2009, 2, 28, 23, 59, 59}, "2009-3-1 0:00:00"},
        {{2008, 12, 31, 23, 0, 1}, "2009-1-1 0:00:00"},
    };
    for (const auto& [now, expected] : cases) {
        config_->SetShutdown(false, "", "");
        clock_.set(now);
        ShutdownFields fields = form_->load();
        EXPECT_FALSE(fields.scheduled);
        EXPECT_FALSE(fields.fieldsEnabled());
        EXPECT_EQ(fields.actionIndex, 0);
        fields.scheduled = true;
        EXPECT_TRUE(form_->save(fields)) << expected;
        EXPECT_EQ(stored().first, expected);
    }
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(ShutdownPage, AFutureTimeIsStoredAndFiredByTheTimer) {
    ShutdownFields fields = at({2009, 5, 20, 12, 31, 0}, 1);
    ASSERT_TRUE(form_->save(fields));
    EXPECT_EQ(stored(), std::pair(std::string("2009-5-20 12:31:00"), gbText(IDS_SHUTDOWN_RESTART)));

    const ShutdownFields shown = form_->load();
    EXPECT_TRUE(shown.scheduled);
    EXPECT_EQ(shown.actionIndex, 1);
    EXPECT_EQ(formatTime(shown.date), "2009-05-20 00:00:00");
    EXPECT_EQ(formatTime(shown.time), "2009-05-20 12:31:00");

    testing::RecordingPower power;
    clock_.set({2009, 5, 20, 12, 31, 0});
    EXPECT_TRUE(ShutdownSchedule().tick(*config_, clock_, power).requested);
    EXPECT_EQ(power.calls, std::vector<unsigned>{Power::kReboot});
    EXPECT_EQ(stored().first, "");
}

TEST_F(ShutdownPage, NowOrEarlierIsRefusedAndTheStoredScheduleStays) {
    config_->SetShutdown(true, "2010-1-1 0:00:00", gbText(IDS_SHUTDOWN_LOG_OFF));
    for (LocalTime when :
         {kNow, LocalTime{2009, 5, 20, 12, 29, 59}, LocalTime{2008, 12, 31, 23, 59, 59}}) {
        prompts_.asked.clear();
        ShutdownFields fields = at(when);
        EXPECT_FALSE(form_->save(fields));
        EXPECT_FALSE(fields.scheduled) << "the box is cleared";
        ASSERT_EQ(prompts_.asked.size(), 1u);
        EXPECT_EQ(prompts_.asked[0].text, text(IDS_SHUTDOWN_NOT_IN_FUTURE));
        EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Error);
        EXPECT_EQ(stored(),
                  std::pair(std::string("2010-1-1 0:00:00"), gbText(IDS_SHUTDOWN_LOG_OFF)));
    }
    // The date counts before the time of day.
    ShutdownFields tomorrowEarlier = {true, 2, {2009, 5, 21, 0, 0, 0}, {2009, 5, 20, 1, 0, 0}};
    EXPECT_TRUE(form_->save(tomorrowEarlier));
    EXPECT_EQ(stored().first, "2009-5-21 1:00:00");
}

TEST_F(ShutdownPage, AClearBoxRemovesTheScheduleEvenWhenNoneWasStored) {
    ShutdownFields off;
    EXPECT_TRUE(form_->save(off));
    config_->SetShutdown(true, "2010-1-1 0:00:00", gbText(IDS_SHUTDOWN_LOG_OFF));
    EXPECT_TRUE(form_->save(off));
    EXPECT_EQ(stored().first, "");
}

TEST_F(ShutdownPage, HandEditedSchedulesOpenWithoutHarm) {
    // A time of five numbers reads the seconds as 0; an unknown action shows the first.
    config_->SetShutdown(true, "2009/6/1 8:15", "reboot");
    ShutdownFields fields = form_->load();
    EXPECT_TRUE(fields.scheduled);
    EXPECT_EQ(fields.actionIndex, 0);
    EXPECT_EQ(formatTime(fields.time), "2009-06-01 08:15:00");

    // A time that cannot be read shows as now, and saving it unchanged is refused: the
    // text stays for the user to see and replace.
    for (std::string bad : {"garbage", "2009-13-40 25:61:61", "99999999999-1-1 0:0:0"}) {
        config_->SetShutdown(true, bad, gbText(IDS_SHUTDOWN_POWER_OFF));
        fields = form_->load();
        EXPECT_TRUE(fields.scheduled) << bad;
        EXPECT_EQ(formatTime(fields.time), formatTime(kNow)) << bad;
        EXPECT_FALSE(form_->save(fields));
        EXPECT_EQ(stored().first, bad);
    }
}

class RecordingPage : public SettingsPage {
  public:
    RecordingPage(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}
    bool save(void*) override {
        log_.push_back(name_);
        return accept;
    }
    bool accept = true;

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

class SettingsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        model_.attach(SettingsPageId::RunOptions, run_);
        model_.attach(SettingsPageId::Shutdown, shutdown_);
        model_.attach(SettingsPageId::Proxy, proxy_);
    }
    std::vector<std::string> log_;
    RecordingPage run_{"run", log_}, shutdown_{"shutdown", log_}, proxy_{"proxy", log_};
    SettingsDialogModel model_;
};

TEST_F(SettingsDialog, ApplySavesThePagesInOrderAndClearsTheFlag) {
    EXPECT_FALSE(model_.applyEnabled());
    model_.changed(1);
    EXPECT_TRUE(model_.applyEnabled());
    EXPECT_TRUE(model_.apply());
    EXPECT_EQ(log_, (std::vector<std::string>{"shutdown", "run", "proxy"}));
    EXPECT_FALSE(model_.dirty());

    RecordingPage update{"update", log_};
    model_.attach(SettingsPageId::Update, update);
    log_.clear();
    model_.apply();
    EXPECT_EQ(log_, (std::vector<std::string>{"shutdown", "update", "run", "proxy"}));
}

TEST_F(SettingsDialog, OkSavesOnlyWhenSomethingChanged) {
    EXPECT_TRUE(model_.ok());
    EXPECT_TRUE(log_.empty());
    model_.changed(1);
    model_.changed(0);  // any other value clears the flag
    EXPECT_TRUE(model_.ok());
    EXPECT_TRUE(log_.empty());
    model_.changed(1);
    EXPECT_TRUE(model_.ok());
    EXPECT_EQ(log_.size(), 3u);
}

TEST_F(SettingsDialog, ARefusalKeepsTheDialogOpenWithTheFlagSet) {
    model_.changed(1);
    proxy_.accept = false;
    EXPECT_FALSE(model_.ok());
    EXPECT_EQ(log_, (std::vector<std::string>{"shutdown", "run", "proxy"}));
    EXPECT_TRUE(model_.applyEnabled());
    EXPECT_FALSE(model_.apply());

    proxy_.accept = true;
    EXPECT_TRUE(model_.ok());
    EXPECT_FALSE(model_.dirty());
}

}  // namespace
}  // namespace tarnix
