// Durations, totals, the summary line and digit grouping of the record pages.
#include <gtest/gtest.h>

#include <cstdint>

#include "records/RecordTime.h"
#include "records/SessionTotals.h"

namespace tarnix {
namespace {

const std::string kHours = "\xd0\xa1\xca\xb1";    // 小时
const std::string kMinutes = "\xb7\xd6\xd6\xd3";  // 分钟
const std::string kSeconds = "\xc3\xeb";          // 秒
const std::string kSix(6, ' ');

// 总计 次数： 时间： 总流量： 字节, with six blanks before all but the first.
std::string summary(const std::string& count, const std::string& time, const std::string& bytes) {
    return "\xd7\xdc\xbc\xc6" + kSix + "\xb4\xce\xca\xfd\xa3\xba" + count + kSix +
           "\xca\xb1\xbc\xe4\xa3\xba" + time + kSix + "\xd7\xdc\xc1\xf7\xc1\xbf\xa3\xba" + bytes +
           "\xd7\xd6\xbd\xda";
}

TEST(RecordDuration, LeadingZeroUnitsAreLeftOut) {
    EXPECT_EQ(durationText(3725), "1" + kHours + "2" + kMinutes + "5" + kSeconds);
    EXPECT_EQ(durationText(125), "2" + kMinutes + "5" + kSeconds);
    EXPECT_EQ(durationText(59), "59" + kSeconds);
    EXPECT_EQ(durationText(0), "0" + kSeconds);
    EXPECT_EQ(durationText(7200), "2" + kHours + "0" + kMinutes + "0" + kSeconds);
    EXPECT_EQ(durationText(3600 * 200000LL), "200000" + kHours + "0" + kMinutes + "0" + kSeconds);
}

TEST(RecordDuration, SessionsAreMeasuredOnTheCalendar) {
    EXPECT_EQ(sessionSeconds("2009-06-30 23:00:00", "2009-07-01 01:00:00"), 7200);
    EXPECT_EQ(sessionSeconds("2008-02-28 23:00:00", "2008-03-01 00:00:00"), 25 * 3600);  // leap
    EXPECT_EQ(sessionSeconds("2009-12-31 23:59:59", "2010-01-01 00:00:00"), 1);
    EXPECT_EQ(sessionSeconds("1969-12-31 23:00:00", "1970-01-01 01:00:00"), 7200);
    // The pattern of six numbers takes unpadded fields and ignores what follows.
    EXPECT_EQ(sessionSeconds("2009-6-3 1:2:3", "2009-06-03 01:02:13 tail"), 10);
    EXPECT_EQ(sessionSeconds("  2009-06-03   01:02:03", "2009-06-03 01:02:04"), 1);
}

TEST(RecordDuration, TimesThatAreNoTimesGiveNoDuration) {
    for (const char* bad :
         {"", "garbage", "2009-06-30", "2009-06-30 23:00", "2009/06/30 23:00:00",
          "2009-13-01 00:00:00", "2009-00-01 00:00:00", "2009-06-32 00:00:00",
          "2009-06-30 24:00:00", "2009-06-30 23:60:00", "0-06-30 23:00:00",
          "99999999999-06-30 23:00:00", "2009--6-30 23:00:00", "\xd5\xc5-06-30 23:00:00"}) {
        EXPECT_FALSE(parseRecordTime(bad)) << bad;
        EXPECT_FALSE(sessionSeconds(bad, "2009-07-01 00:00:00")) << bad;
    }
    // An end before the start makes no duration rather than a negative one.
    EXPECT_FALSE(sessionSeconds("2009-07-01 00:00:01", "2009-07-01 00:00:00"));
    EXPECT_EQ(sessionSeconds("0001-01-01 00:00:00", "9999-12-31 23:59:59"), 315537897599LL);
}

TEST(RecordTotals, SummaryLineWithItsSixBlankRuns) {
    SessionTotals totals;
    EXPECT_EQ(totals.summaryLine(), summary("0", "0" + kSeconds, "0"));
    totals.add(3630, "1000000", "200000");
    totals.add(160, "30000", "4000");
    totals.add(50, "", "567");
    EXPECT_EQ(totals.summaryLine(),
              summary("3", "1" + kHours + "4" + kMinutes + "0" + kSeconds, "1,234,567"));
}

TEST(RecordTotals, TimesAddUpAcrossUnits) {
    SessionTotals totals;
    totals.add(40, "", "");
    totals.add(30, "", "");
    EXPECT_EQ(totals.summaryLine(), summary("2", "1" + kMinutes + "10" + kSeconds, "0"));

    SessionTotals minutes;  // minute parts of 59 and 2
    minutes.add(59 * 60 + 10, "", "");
    minutes.add(2 * 60 + 20, "", "");
    EXPECT_EQ(minutes.summaryLine(),
              summary("2", "1" + kHours + "1" + kMinutes + "30" + kSeconds, "0"));

    // A session without a duration is counted but adds no time.
    SessionTotals unknown;
    unknown.add(std::nullopt, "5", "5");
    EXPECT_EQ(unknown.summaryLine(), summary("1", "0" + kSeconds, "10"));
}

TEST(RecordTotals, BytesAreGrouped) {
    auto bytesOf = [](const char* sent) {
        SessionTotals t;
        t.add(0, sent, "");
        return t.summaryLine();
    };
    EXPECT_EQ(bytesOf("999"), summary("1", "0" + kSeconds, "999"));
    EXPECT_EQ(bytesOf("1000"), summary("1", "0" + kSeconds, "1,000"));
    EXPECT_EQ(groupDigits("1234567"), "1,234,567");
    EXPECT_EQ(groupDigits("123456"), "123,456");
    EXPECT_EQ(groupDigits("12"), "12");
    EXPECT_EQ(groupDigits(""), "");
    EXPECT_EQ(groupDigits("-1234"), "-1,234");
    EXPECT_EQ(groupDigits("9223372036854775807"), "9,223,372,036,854,775,807");
}

TEST(RecordTotals, TrafficAboveFourGibibytesAndWrappedCounters) {
    SessionTotals totals;
    for (int i = 0; i < 3; ++i) totals.add(1, "4294967295", "4294967295");
    EXPECT_EQ(totals.bytes(), 6 * 4294967295LL);
    EXPECT_EQ(totals.summaryLine(), summary("3", "3" + kSeconds, "25,769,803,770"));

    // Counters of 2 GiB and more were written as negative 32-bit numbers.
    EXPECT_EQ(SessionTotals::byteCount("-2147483648"), 2147483648LL);
    EXPECT_EQ(SessionTotals::byteCount("-1"), 4294967295LL);
    EXPECT_EQ(SessionTotals::byteCount("-2147483649"), 0);
    EXPECT_EQ(SessionTotals::byteCount("-0"), 0);
}

TEST(RecordTotals, ByteTextsAsStoredByAnyone) {
    EXPECT_EQ(SessionTotals::byteCount(""), 0);
    EXPECT_EQ(SessionTotals::byteCount("abc"), 0);
    EXPECT_EQ(SessionTotals::byteCount("12abc"), 12);
    EXPECT_EQ(SessionTotals::byteCount("  +34"), 34);
    EXPECT_EQ(SessionTotals::byteCount("1 000"), 1);
    EXPECT_EQ(SessionTotals::byteCount("\xd5\xc5"), 0);
    // Huge numbers stop at the limit, and so do the sums.
    EXPECT_EQ(SessionTotals::byteCount("99999999999999999999999"), INT64_MAX);
    SessionTotals totals;
    totals.add(0, "99999999999999999999999", "99999999999999999999999");
    totals.add(0, "5", "");
    EXPECT_EQ(totals.bytes(), INT64_MAX);
    EXPECT_EQ(totals.count(), 2);
}

}  // namespace
}  // namespace tarnix
