// The daily reconnect's one-second tick over the fake clock, the monthly allowance over
// prepared record files, and the page that stores both in config.xml.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "records/OpenSession.h"
#include "records/UsageAllowance.h"
#include "settings/ReconnectSchedule.h"
#include "settings/ScheduleUsageForm.h"
#include "store/ConfigStore.h"
#include "../support/FakeClock.h"
#include "../support/PromptRecorder.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

using testing::recordItem;
using testing::recordText;

constexpr int kFourOClock = 4 * 60;

TEST(ReconnectSchedule, FiresAtTheSetMinuteOnceADayAndOnlyWhileUp) {
    ReconnectSchedule schedule;
    EXPECT_FALSE(schedule.tick({2026, 12, 7, 3, 59, 59}, kFourOClock, true));
    EXPECT_TRUE(schedule.tick({2026, 12, 7, 4, 0, 0}, kFourOClock, true));
    EXPECT_FALSE(schedule.tick({2026, 12, 7, 4, 0, 1}, kFourOClock, true));
    // The clock set back across the time does not fire it again that day.
    EXPECT_FALSE(schedule.tick({2026, 12, 7, 3, 59, 58}, kFourOClock, true));
    EXPECT_FALSE(schedule.tick({2026, 12, 7, 3, 59, 59}, kFourOClock, true));
    EXPECT_FALSE(schedule.tick({2026, 12, 7, 4, 0, 0}, kFourOClock, true));
    // The next day it fires again; a late tick (a busy second) still counts.
    EXPECT_FALSE(schedule.tick({2026, 12, 8, 3, 59, 58}, kFourOClock, true));
    EXPECT_TRUE(schedule.tick({2026, 12, 8, 4, 0, 2}, kFourOClock, true));

    // Down at the set time: nothing then, nor when the link comes up later that day.
    EXPECT_FALSE(schedule.tick({2026, 12, 9, 3, 59, 59}, kFourOClock, false));
    EXPECT_FALSE(schedule.tick({2026, 12, 9, 4, 0, 0}, kFourOClock, false));
    EXPECT_FALSE(schedule.tick({2026, 12, 9, 4, 0, 1}, kFourOClock, true));

    // A clock moved far forward across the time, then back across it: at most once.
    ReconnectSchedule jumped;
    EXPECT_FALSE(jumped.tick({2026, 12, 10, 3, 0, 0}, kFourOClock, true));
    EXPECT_FALSE(jumped.tick({2026, 12, 10, 5, 0, 0}, kFourOClock, true));
    int fired = 0;
    for (int s = 50; s < 70; ++s)
        fired += jumped.tick({2026, 12, 10, 3, 59 + s / 60, s % 60}, kFourOClock, true);
    EXPECT_LE(fired, 1);

    // Off: nothing; a time just after midnight is found from a tick before it.
    EXPECT_FALSE(ReconnectSchedule().tick({2026, 12, 7, 4, 0, 0}, std::nullopt, true));
    ReconnectSchedule midnight;
    EXPECT_FALSE(midnight.tick({2026, 12, 7, 23, 59, 59}, 0, true));
    EXPECT_TRUE(midnight.tick({2026, 12, 8, 0, 0, 1}, 0, true));
}

TEST(ReconnectSchedule, OnlyARealTimeOfDayTurnsItOn) {
    EXPECT_EQ(parseTimeOfDay("04:00"), kFourOClock);
    EXPECT_EQ(parseTimeOfDay("4:5"), 4 * 60 + 5);
    EXPECT_EQ(parseTimeOfDay("23:59"), 23 * 60 + 59);
    for (const char* bad : {"24:00", "abc", "", ":", "04:60", "04:00:00", " 4:00", "-1:00",
                            "004:00", "4"})
        EXPECT_FALSE(parseTimeOfDay(bad)) << bad;
    EXPECT_EQ(formatTimeOfDay(kFourOClock), "04:00");
}

class Allowance : public testing::RecordFolderTest {
  protected:
    void SetUp() override {
        RecordFolderTest::SetUp();
        config_.emplace(dir_);
    }
    void TearDown() override {
        config_.reset();
        RecordFolderTest::TearDown();
    }
    // Sessions of `hours` hours each on the days given, in December 2026.
    void sessions(std::initializer_list<int> days, int hours, const std::string& bytes = "0") {
        std::string items;
        for (int day : days) {
            char start[32], end[32];
            std::snprintf(start, sizeof start, "2026-12-%02d 08:00:00", day);
            std::snprintf(end, sizeof end, "2026-12-%02d %02d:00:00", day, 8 + hours);
            items = recordItem("demo", start, end, "10.0.0.2", bytes, "0") + items;
        }
        write("2026-12.xml", recordText(items));
    }
    int percent(const LocalTime& now, int startDay = 1) {
        UsageAllowance allowance = readAllowance(*config_);
        allowance.startDay = startDay;
        return usedPercent(allowance, usageSince(dir_, cycleStart(now, startDay), now));
    }
    std::optional<ConfigStore> config_;
};

TEST_F(Allowance, WarnsOnceAtEightyAndOnceAtAHundredAndANewCycleStartsAgain) {
    config_->SetOptional("AllowanceHours", "10");
    const LocalTime now{2026, 12, 20, 12, 0, 0};
    const LocalTime cycle = cycleStart(now, 1);

    sessions({1, 2, 3, 4, 5, 6, 7}, 1);  // 7 h of 10
    EXPECT_EQ(percent(now), 70);
    EXPECT_EQ(dueWarning(*config_, cycle, percent(now)), 0);
    // 7 h 54 min: 79 %, no balloon.
    write("2026-12.xml", read("2026-12.xml").insert(
                             read("2026-12.xml").find("<ITEM"),
                             recordItem("demo", "2026-12-08 08:00:00", "2026-12-08 08:54:00")));
    EXPECT_EQ(percent(now), 79);
    EXPECT_EQ(dueWarning(*config_, cycle, 79), 0);

    sessions({1, 2, 3, 4, 5, 6, 7, 8}, 1);  // 80 %: one balloon
    EXPECT_EQ(percent(now), 80);
    EXPECT_EQ(dueWarning(*config_, cycle, 80), 80);
    EXPECT_EQ(dueWarning(*config_, cycle, 85), 0);
    sessions({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1);  // 100 %: one more
    EXPECT_EQ(dueWarning(*config_, cycle, percent(now)), 100);
    EXPECT_EQ(dueWarning(*config_, cycle, 140), 0);
    // Kept in config.xml: a restart does not warn again.
    ConfigStore reread(dir_);
    EXPECT_EQ(dueWarning(reread, cycle, 100), 0);

    // The next cycle counts afresh and warns again.
    const LocalTime january{2027, 1, 2, 9, 0, 0};
    EXPECT_EQ(percent(january), 0);
    EXPECT_EQ(dueWarning(*config_, cycleStart(january, 1), 80), 80);

    // The traffic allowance alone, the open session counted with the link's own counters.
    config_->SetOptional("AllowanceHours", "");
    config_->SetOptional("AllowanceGB", "10");
    write("2026-12.xml", recordText(recordItem("demo", "2026-12-20 11:00:00", "", "10.0.0.2",
                                               "1000", "0", "")));
    UsageAllowance traffic = readAllowance(*config_);
    const Usage live = usageSince(dir_, cycle, now, 8 * kBytesPerGigabyte);
    EXPECT_EQ(live.seconds, 3600);
    EXPECT_EQ(usedPercent(traffic, live), 80);
    EXPECT_EQ(usedPercent(traffic, usageSince(dir_, cycle, now)), 0);
}

TEST_F(Allowance, ACycleFromTheFifteenthOrTheThirtyFirst) {
    EXPECT_EQ(formatTime(cycleStart({2026, 12, 20, 1, 0, 0}, 15)), "2026-12-15 00:00:00");
    EXPECT_EQ(formatTime(cycleStart({2026, 12, 14, 23, 0, 0}, 15)), "2026-11-15 00:00:00");
    EXPECT_EQ(formatTime(cycleStart({2027, 1, 3, 0, 0, 0}, 15)), "2026-12-15 00:00:00");
    // The 31st in a month of 30 days is its last day.
    EXPECT_EQ(formatTime(cycleStart({2026, 11, 30, 0, 0, 0}, 31)), "2026-11-30 00:00:00");
    EXPECT_EQ(formatTime(cycleStart({2026, 11, 29, 23, 59, 59}, 31)), "2026-10-31 00:00:00");
    EXPECT_EQ(formatTime(cycleStart({2026, 12, 30, 0, 0, 0}, 31)), "2026-11-30 00:00:00");
    EXPECT_EQ(formatTime(cycleStart({2027, 3, 1, 0, 0, 0}, 31)), "2027-02-28 00:00:00");

    // A cycle from the 15th reads the month before too, and only from its start.
    config_->SetOptional("AllowanceHours", "10");
    write("2026-11.xml", recordText(recordItem("demo", "2026-11-20 08:00:00", "2026-11-20 12:00:00") +
                                    recordItem("demo", "2026-11-10 08:00:00", "2026-11-10 18:00:00")));
    sessions({3}, 4);
    EXPECT_EQ(percent({2026, 12, 10, 0, 0, 0}, 15), 80);
    EXPECT_EQ(percent({2026, 12, 10, 0, 0, 0}, 1), 40);
}

TEST_F(Allowance, ThePageRefusesBadAllowancesAndStoresNothingThen) {
    testing::PromptRecorder prompts;
    ScheduleUsageForm form(*config_);
    const std::string before = read("config.xml");
    for (const char* bad : {"0", "-5", "abc", "1.5", "1000000000000", "745"}) {
        ScheduleUsageFields fields;
        fields.reconnect = true;
        fields.hoursText = bad;
        EXPECT_FALSE(form.save(fields)) << bad;
        fields.hoursText.clear();
        fields.gigabytesText = bad == std::string("745") ? "100001" : bad;
        EXPECT_FALSE(form.save(fields)) << bad;
    }
    EXPECT_EQ(prompts.asked.size(), 12u);
    EXPECT_EQ(read("config.xml"), before) << "a refusal stored something";

    ScheduleUsageFields fields;
    fields.reconnect = true;
    fields.reconnectMinutes = kFourOClock;
    fields.gigabytesText = " 50 ";
    fields.startDay = 31;
    ASSERT_TRUE(form.save(fields));
    ScheduleUsageFields loaded = form.load();
    EXPECT_TRUE(loaded.reconnect);
    EXPECT_EQ(loaded.reconnectMinutes, kFourOClock);
    EXPECT_EQ(loaded.hoursText, "");
    EXPECT_EQ(loaded.gigabytesText, "50");
    EXPECT_EQ(loaded.startDay, 31);

    // Turned off again, the file is back as it was: absent means off.
    ASSERT_TRUE(form.save(ScheduleUsageFields{}));
    EXPECT_EQ(read("config.xml"), before);

    // Values written by hand that are no setting read as off.
    config_->SetOptional("ReconnectAt", "24:00");
    config_->SetOptional("AllowanceHours", "abc");
    config_->SetOptional("AllowanceGB", "1000000000000");
    config_->SetOptional("AllowanceStartDay", "32");
    loaded = form.load();
    EXPECT_FALSE(loaded.reconnect);
    EXPECT_FALSE(readAllowance(*config_).any());
    EXPECT_EQ(readAllowance(*config_).startDay, 1);
}

TEST_F(Allowance, TheOpenSessionIsTheNewestRecordWithoutAnEnd) {
    const LocalTime now{2026, 12, 1, 0, 10, 0};
    EXPECT_FALSE(findOpenSession(dir_, now));
    // Begun last month and still open.
    write("2026-11.xml", recordText(recordItem("dora", "2026-11-30 23:00:00", "", "", "", "", "") +
                                    recordItem("demo", "2026-11-30 08:00:00", "2026-11-30 09:00:00")));
    auto open = findOpenSession(dir_, now);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->account, "dora");
    EXPECT_EQ(formatTime(open->start), "2026-11-30 23:00:00");
    // A closed newest record: none is open.
    write("2026-12.xml", recordText(recordItem("demo", "2026-12-01 00:01:00", "2026-12-01 00:02:00")));
    EXPECT_FALSE(findOpenSession(dir_, now));
}

}  // namespace
}  // namespace tarnix
