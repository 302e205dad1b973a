// The scheduled shutdown's one-second tick over a config.xml in a temporary folder.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "TextIds.h"
#include "base/Texts.h"
#include "settings/ShutdownSchedule.h"
#include "../support/FakeClock.h"
#include "../support/RecordingPower.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

using testing::RecordingPower;

constexpr LocalTime kSetSecond{2009, 5, 20, 12, 30, 0};

class Shutdown : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-shutdown-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        config_.emplace(dir_);
    }
    void TearDown() override {
        config_.reset();
        fs::remove_all(dir_);
    }

    void schedule(std::string_view time, std::string_view type) {
        config_->SetShutdown(true, time, type);
    }
    bool scheduled() {
        std::string time, type;
        config_->GetShutdown(time, type);
        return !time.empty();
    }
    ShutdownTick tickAt(LocalTime now) {
        clock_.set(now);
        return ShutdownSchedule().tick(*config_, clock_, power_);
    }

    fs::path dir_;
    std::optional<ConfigStore> config_;
    testing::FakeClock clock_;
    RecordingPower power_;
};

TEST_F(Shutdown, FiresAtTheSetSecondWithEachActionAndOnlyOnce) {
    // The names as config.xml holds them, whoever wrote it: 关机, 重起, 注销.
    const std::pair<std::string_view, unsigned> actions[] = {
        {"\xb9\xd8\xbb\xfa", 8}, {"\xd6\xd8\xc6\xf0", 2}, {"\xd7\xa2\xcf\xfa", 0}};
    for (const auto& [name, flags] : actions) {
        power_.calls.clear();
        EXPECT_FALSE(ShutdownSchedule::isSet(*config_)) << "nothing to watch";
        schedule("2009-05-20 12:30:00", name);
        EXPECT_TRUE(ShutdownSchedule::isSet(*config_));
        ShutdownTick t = tickAt(kSetSecond);
        EXPECT_TRUE(t.due);
        EXPECT_TRUE(t.requested);
        EXPECT_EQ(t.flags, flags);
        EXPECT_EQ(power_.calls, std::vector<unsigned>{flags});
        EXPECT_FALSE(scheduled());
        EXPECT_FALSE(tickAt(kSetSecond).due);
        EXPECT_EQ(power_.calls.size(), 1u);
    }
}

TEST_F(Shutdown, TheSecondsAroundItLeaveTheSchedule) {
    schedule("2009-05-20 12:30:00", gbText(IDS_SHUTDOWN_RESTART));
    for (LocalTime near : {LocalTime{2009, 5, 20, 12, 29, 59}, LocalTime{2009, 5, 20, 12, 30, 1},
                           LocalTime{2009, 5, 21, 12, 30, 0}, LocalTime{2010, 5, 20, 12, 30, 0}}) {
        EXPECT_FALSE(tickAt(near).due);
    }
    EXPECT_TRUE(power_.calls.empty());
    EXPECT_TRUE(scheduled());
    EXPECT_TRUE(tickAt(kSetSecond).due);

    schedule("2009-05-20 12:30:00", "");  // no action: nothing at all
    EXPECT_FALSE(tickAt(kSetSecond).due);
    EXPECT_TRUE(scheduled());
    EXPECT_EQ(power_.calls.size(), 1u);
}

// One schedule object across ticks, as the main window keeps it: the set second fires
// when it falls after the tick before and not after now, once, however late the tick.
TEST_F(Shutdown, ALateTickStillFiresOnceAndAClockMovedBackOrFarForwardDoesNot) {
    ShutdownSchedule timer;
    auto at = [&](LocalTime now) {
        clock_.set(now);
        return timer.tick(*config_, clock_, power_);
    };
    schedule("2009-05-20 12:30:00", gbText(IDS_SHUTDOWN_RESTART));
    EXPECT_FALSE(at({2009, 5, 20, 12, 29, 58}).due);
    EXPECT_TRUE(at({2009, 5, 20, 12, 30, 3}).due) << "a busy second skipped the set one";
    EXPECT_EQ(power_.calls, std::vector<unsigned>{Power::kReboot});

    // Once: the same time stored again (a peer, a failed removal) is not fired twice by
    // ticks that have passed it.
    schedule("2009-05-20 12:30:00", gbText(IDS_SHUTDOWN_RESTART));
    EXPECT_FALSE(at({2009, 5, 20, 12, 30, 4}).due);
    EXPECT_FALSE(at({2009, 5, 20, 12, 30, 5}).due);

    // The clock set back: the next tick looks at its own second only; the time comes round
    // again as the clock walks on.
    schedule("2009-05-20 12:29:00", gbText(IDS_SHUTDOWN_LOG_OFF));
    EXPECT_FALSE(at({2009, 5, 20, 12, 28, 0}).due);
    EXPECT_FALSE(at({2009, 5, 20, 12, 28, 58}).due);
    EXPECT_TRUE(at({2009, 5, 20, 12, 29, 1}).due);

    // Set forward (or asleep) past it by more than the catch-up: not fired, kept to show.
    schedule("2009-05-20 13:00:00", gbText(IDS_SHUTDOWN_POWER_OFF));
    EXPECT_FALSE(at({2009, 5, 20, 12, 59, 59}).due);
    EXPECT_FALSE(at({2009, 5, 20, 14, 0, 0}).due);
    EXPECT_TRUE(scheduled());
    // Forward by less than it: fired.
    schedule("2009-05-20 14:02:00", gbText(IDS_SHUTDOWN_POWER_OFF));
    EXPECT_TRUE(at({2009, 5, 20, 14, 4, 0}).due);
    EXPECT_EQ(power_.calls, (std::vector<unsigned>{Power::kReboot, Power::kLogOff,
                                                   Power::kPowerOff}));
}

// A time in 12-hour form, as another program on another locale writes it, is the hour the
// locale means, never twelve hours off.
TEST_F(Shutdown, TwelveHourTimesReadAsTheLocaleMeansThem) {
    const std::pair<std::string_view, const char*> times[] = {
        {"2009-5-20 2:30:00 PM", "2009-05-20 14:30:00"},
        {"2009-5-20 2:30:00 pm", "2009-05-20 14:30:00"},
        {"2009-5-20 12:30:00 PM", "2009-05-20 12:30:00"},
        {"2009-5-20 12:05:00 AM", "2009-05-20 00:05:00"},
        {"2009-5-20 9:05:00 AM", "2009-05-20 09:05:00"},
        {"2009-5-20 \xcf\xc2\xce\xe7 2:30:00", "2009-05-20 14:30:00"},  // 下午
        {"2009-5-20 \xc9\xcf\xce\xe7 2:30:00", "2009-05-20 02:30:00"},  // 上午
    };
    for (const auto& [text, expected] : times) {
        SCOPED_TRACE(text);
        LocalTime parsed;
        ASSERT_TRUE(parseScheduleTime(text, parsed));
        EXPECT_EQ(formatTime(parsed), expected);
    }
    // A mark on an hour it cannot go with, or both marks: not a time.
    for (std::string_view text : {"2009-5-20 14:30:00 PM", "2009-5-20 0:30:00 AM",
                                  "2009-5-20 2:30:00 AM PM"}) {
        LocalTime parsed;
        EXPECT_FALSE(parseScheduleTime(text, parsed)) << text;
    }
    // Words that merely hold the letters are no mark.
    LocalTime plain;
    ASSERT_TRUE(parseScheduleTime("2009-5-20 2:30:00 AMPLE", plain));
    EXPECT_EQ(plain.hour, 2);

    schedule("2009-5-20 2:30:00 PM", gbText(IDS_SHUTDOWN_POWER_OFF));
    EXPECT_FALSE(tickAt({2009, 5, 20, 2, 30, 0}).due);
    EXPECT_TRUE(tickAt({2009, 5, 20, 14, 30, 0}).due);
}

TEST_F(Shutdown, ReadsTheNumbersWhateverSeparatesThem) {
    // Unpadded numbers as the date picker writes them, and a locale's own separators.
    for (std::string_view text :
         {"2009-5-20 12:30:0", "2009/5/20 12:30:00", " 2009.05.20  12-30-00 ",
          "2009\xc4\xea" "5\xd4\xc2" "20\xc8\xd5 12:30:00",  // 2009年5月20日
          "0002009-005-020 012:030:000"}) {
        SCOPED_TRACE(text);
        LocalTime parsed;
        ASSERT_TRUE(parseScheduleTime(text, parsed));
        EXPECT_EQ(formatTime(parsed), "2009-05-20 12:30:00");
    }
    schedule("2009-5-20 12:30:00", gbText(IDS_SHUTDOWN_POWER_OFF));
    EXPECT_TRUE(tickAt(kSetSecond).due);
    EXPECT_FALSE(scheduled());
}

TEST_F(Shutdown, ATimeThatDoesNotParseNeverFiresAndStays) {
    for (std::string_view text :
         {"garbage", "2009-5-20 12:30", "2009-5-20 12:30:00:00", "2009-13-20 12:30:00",
          "2009-2-29 12:30:00", "2009-5-20 24:00:00", "2009-5-20 12:60:00", "2009-5-20 12:30:60",
          "0-5-20 12:30:00", "2009-0-20 12:30:00", "2009-5-0 12:30:00",
          "99999999999999999999-5-20 12:30:00", "2009-5-20 12:30:4294967296"}) {
        SCOPED_TRACE(text);
        LocalTime parsed{1, 2, 3, 4, 5, 6};
        EXPECT_FALSE(parseScheduleTime(text, parsed));
        EXPECT_EQ(formatTime(parsed), "0001-02-03 04:05:06") << "left unchanged";
        schedule(text, gbText(IDS_SHUTDOWN_POWER_OFF));
        EXPECT_FALSE(ShutdownSchedule::isSet(*config_)) << "can never fire: no need to tick";
        EXPECT_FALSE(tickAt(kSetSecond).due);
        EXPECT_TRUE(scheduled());
    }
    LocalTime leapDay;
    EXPECT_TRUE(parseScheduleTime("2008-2-29 0:0:0", leapDay));
    EXPECT_TRUE(power_.calls.empty());
}

TEST_F(Shutdown, AnUnknownActionOrARefusalStillRemovesTheSchedule) {
    // "关机 " with a trailing blank is not the name.
    for (std::string_view name : {std::string_view("\xb9\xd8\xbb\xfa "), std::string_view("x")}) {
        schedule("2009-05-20 12:30:00", name);
        ShutdownTick t = tickAt(kSetSecond);
        EXPECT_TRUE(t.due);
        EXPECT_FALSE(t.requested);
        EXPECT_FALSE(scheduled());
    }
    EXPECT_TRUE(power_.calls.empty());

    power_.accept = false;
    schedule("2009-05-20 12:30:00", gbText(IDS_SHUTDOWN_RESTART));
    EXPECT_TRUE(tickAt(kSetSecond).requested);
    EXPECT_EQ(power_.calls, std::vector<unsigned>{Power::kReboot});
    EXPECT_FALSE(scheduled());
}

}  // namespace
}  // namespace tarnix
