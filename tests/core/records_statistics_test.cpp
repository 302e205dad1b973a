// The live statistics window's fields and graph over a fake remote-access service, and
// the usage chart of a query.
#include <gtest/gtest.h>

#include "../support/FakeClock.h"
#include "../support/FakeRemoteAccess.h"
#include "base/DialEntry.h"
#include "dial/LinkProbes.h"
#include "records/ChartSpeech.h"
#include "records/RecordQuery.h"
#include "records/StatisticsModel.h"
#include "records/UsageChart.h"
#include "records/UsageChartLayout.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

using testing::kAll;
using testing::recordItem;
using testing::recordText;

const std::string kEntry(kDialEntryName);

class FakeInterfaceTable : public InterfaceTable {
  public:
    bool read(std::vector<NetworkInterface>& out) override {
        out = rows;
        return !fail;
    }
    std::vector<NetworkInterface> rows{{"PPP adapter", 100000000u}};
    bool fail = false;
};

class Statistics : public testing::RecordFolderTest {
  protected:
    testing::FakeRemoteAccess access_;
    FakeInterfaceTable interfaces_;
    testing::FakeClock clock_{{2009, 3, 1, 13, 8, 11}};
    LinkProbes link_{access_, interfaces_};
    StatisticsModel model_{link_, dir_, clock_};
};

TEST_F(Statistics, FieldsOfTheDialEntrysConnectionBesideAVpn) {
    write("2009-03.xml", recordText(recordItem("a", "2009-03-01 08:05:09", "") +
                                    recordItem("a", "2009-03-01 06:00:00", "2009-03-01 07:00:00")));
    const ConnHandle vpn = access_.connect("work vpn", "172.16.0.5");
    access_.setStatistics(vpn, {999, 999, 0, 0});
    const ConnHandle link = access_.connect(kEntry, "10.8.0.17");
    access_.setStatistics(link, {1234567, 1000, 5000, 0});

    model_.open();
    EXPECT_EQ(model_.fields().address, "10.8.0.17");
    EXPECT_EQ(model_.fields().speed, "100Mbps");
    EXPECT_EQ(model_.fields().sent, "1,234,567");
    EXPECT_EQ(model_.fields().received, "1,000");
    EXPECT_EQ(model_.fields().connectedTime,
              "5\xd0\xa1\xca\xb1"
              "3\xb7\xd6\xd6\xd3"
              "2\xc3\xeb");  // 5小时3分钟2秒
    EXPECT_EQ(model_.fields().activityIcon, StatisticsModel::kReceivingIcon);

    // Nothing received since the last tick: the quiet icon; then traffic again.
    EXPECT_TRUE(model_.tick());
    EXPECT_EQ(model_.fields().activityIcon, StatisticsModel::kQuietIcon);
    access_.setStatistics(link, {1234567, 4294967295u, 6000, 0});
    clock_.set({2009, 3, 1, 13, 8, 12});
    EXPECT_TRUE(model_.tick());
    EXPECT_EQ(model_.fields().activityIcon, StatisticsModel::kReceivingIcon);
    EXPECT_EQ(model_.fields().received, "4,294,967,295");
    EXPECT_EQ(model_.fields().connectedTime,
              "5\xd0\xa1\xca\xb1"
              "3\xb7\xd6\xd6\xd3"
              "3\xc3\xeb");
}

TEST_F(Statistics, WhatStaysWhenThereIsNothingToRead) {
    interfaces_.fail = true;
    model_.open();  // no record file, no connection
    EXPECT_EQ(model_.fields().address, "");
    EXPECT_EQ(model_.fields().speed, "Mbps");
    EXPECT_EQ(model_.fields().connectedTime, "");
    EXPECT_EQ(model_.fields().activityIcon, StatisticsModel::kStartIcon);

    write("2009-03.xml", recordText(recordItem("a", "2009-03-01 13:08:01", "")));
    const ConnHandle link = access_.connect(kEntry);
    access_.setStatistics(link, {10, 20, 0, 0});
    EXPECT_TRUE(model_.tick());
    EXPECT_EQ(model_.fields().connectedTime, "10\xc3\xeb");
    // The link goes and the month turns: the fields keep what they showed.
    access_.drop(link);
    clock_.set({2009, 4, 1, 0, 0, 5});
    EXPECT_TRUE(model_.tick());
    EXPECT_EQ(model_.fields().received, "20");
    EXPECT_EQ(model_.fields().connectedTime, "10\xc3\xeb");
    // A record file of this month that is no record file leaves it as well.
    write("2009-04.xml", "\xff\xfe garbage");
    EXPECT_TRUE(model_.tick());
    EXPECT_EQ(model_.fields().connectedTime, "10\xc3\xeb");
    // When the connections cannot be listed the timer stops.
    access_.failEnumeration(true);
    EXPECT_FALSE(model_.tick());
}

// With a monthly allowance the window tells the share of it this cycle has used, the open
// session counted up to now; the share is counted again each minute.
TEST_F(Statistics, TheShareOfTheAllowanceUsedInThisCycle) {
    write("2009-03.xml", recordText(recordItem("a", "2009-03-01 10:08:11", "") +
                                    recordItem("a", "2009-03-01 00:00:00", "2009-03-01 02:00:00")));
    access_.connect(kEntry, "10.8.0.17");
    UsageAllowance tenHours;
    tenHours.hours = 10;
    StatisticsModel withAllowance(link_, dir_, clock_, tenHours);
    withAllowance.open();
    EXPECT_EQ(withAllowance.fields().allowanceUsed, "50%");  // 2 h closed + 3 h open

    clock_.set({2009, 3, 1, 14, 8, 11});
    for (int i = 0; i < 59; ++i) withAllowance.tick();
    EXPECT_EQ(withAllowance.fields().allowanceUsed, "50%") << "once a minute, not each second";
    withAllowance.tick();
    EXPECT_EQ(withAllowance.fields().allowanceUsed, "60%");

    model_.open();
    EXPECT_EQ(model_.fields().allowanceUsed, "") << "no allowance, no share";
}

TEST_F(Statistics, RatesOfTheLastMinutesForTheGraph) {
    const ConnHandle link = access_.connect(kEntry);
    access_.setStatistics(link, {0, 4294967000u, 1000, 0});
    model_.open();
    EXPECT_EQ(model_.history().size(), 0u);            // a first reading gives no rate yet
    access_.setStatistics(link, {500, 704, 3000, 0});  // 2 s later, received wrapped
    model_.tick();
    ASSERT_EQ(model_.history().size(), 1u);
    EXPECT_EQ(model_.history().at(0).receivedPerSecond, 500u);
    EXPECT_EQ(model_.history().at(0).sentPerSecond, 250u);
    access_.drop(link);
    model_.tick();  // no link: the graph goes on at zero
    EXPECT_EQ(model_.history().size(), 2u);
    EXPECT_EQ(model_.history().at(1).receivedPerSecond, 0u);
    EXPECT_EQ(model_.history().peak(), 500u);

    RateHistory ring(3);
    for (uint64_t i = 1; i <= 5; ++i) ring.push({i, 0});
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.at(0).receivedPerSecond, 3u);
    EXPECT_EQ(ring.at(2).receivedPerSecond, 5u);

    // The scale in KB/s: a round number the peak does not pass.
    const std::pair<uint64_t, uint64_t> scales[] = {{0, 1},
                                                    {1024, 1},
                                                    {1025, 2},
                                                    {2048, 2},
                                                    {3000, 5},
                                                    {5 * 1024 + 1, 10},
                                                    {150 * 1024, 200},
                                                    {12u << 20, 20000},
                                                    {UINT64_MAX, UINT64_MAX / 1024}};
    for (const auto& [peak, scale] : scales)
        EXPECT_EQ(RateHistory::scaleKilobytes(peak), scale) << peak;
}

class Chart : public testing::RecordFolderTest {
  protected:
    RecordFolder folder_{dir_};
    RecordQuery query_{folder_};
};

TEST_F(Chart, DaysOfAMonthMonthsOfAYearAndYears) {
    write("2008-02.xml",
          recordText(recordItem("a", "2008-02-29 23:00:00", "2008-03-01 01:00:00", "", "10", "0")));
    write("2009-02.xml",
          recordText(recordItem("a", "2009-02-28 10:00:00", "2009-02-28 10:30:00", "", "5", "5") +
                     recordItem("a", "2009-02-01 10:00:00", "2009-02-01 10:00:30", "", "-1", "") +
                     recordItem("a", "2009-01-31 23:00:00", "2009-02-01 00:00:00", "", "1", "") +
                     recordItem("a", "garbage", "2009-02-01 00:00:00", "", "2", "")));
    const RecordFilter month{kAll, "2009", "02", kAll};
    const RecordTable t = query_.run(month);
    const UsageChart days = UsageChart::build(t, month);
    EXPECT_EQ(days.unit(), UsageChart::Unit::Day);
    ASSERT_EQ(days.bars().size(), 28u);
    EXPECT_EQ(days.bars()[27].seconds, 1800);
    EXPECT_EQ(days.bars()[27].bytes, 10);
    EXPECT_EQ(days.bars()[0].bytes, 4294967295LL);
    // A session of January in February's file lies outside every day, and so does one whose
    // start is no time; the totals are still those of the summary line.
    EXPECT_EQ(days.outside().seconds, 3600);
    EXPECT_EQ(days.outside().bytes, 3);
    EXPECT_EQ(days.totalSeconds(), t.totals().seconds());
    EXPECT_EQ(days.totalBytes(), t.totals().bytes());
    EXPECT_EQ(days.peakSeconds(), 1800);

    const RecordFilter year{kAll, "2009", kAll, kAll};
    const UsageChart months = UsageChart::build(query_.run(year), year);
    ASSERT_EQ(months.bars().size(), 12u);
    EXPECT_EQ(months.bars()[0].seconds, 3600);
    EXPECT_EQ(months.bars()[1].seconds, 1830);

    const RecordTable all = query_.fullRefresh();
    const UsageChart years = UsageChart::build(all, RecordFilter{});
    ASSERT_EQ(years.bars().size(), 2u);
    EXPECT_EQ(years.bars()[0].label, 2008);
    EXPECT_EQ(years.bars()[0].seconds, 7200);  // a leap day's session over midnight
    EXPECT_EQ(years.bars()[1].label, 2009);
    EXPECT_EQ(years.totalBytes(), all.totals().bytes());
}

// The graphs say as text what they draw: the newest rates and the scale, the totals, and
// each bar.
TEST_F(Chart, ScreenReadersHearTheFiguresTheChartsDraw) {
    RateHistory rates;
    EXPECT_EQ(rateGraphValue(rates), L"尚无速率");
    rates.push({150 * 1024, 0});
    rates.push({1536, 512});
    EXPECT_EQ(rateGraphValue(rates), L"接收 1.5 KB/s，发送 0.5 KB/s，图顶 200 KB/s");

    write("2009-02.xml",
          recordText(recordItem("a", "2009-02-01 10:00:00", "2009-02-01 11:30:00", "", "1048576", "0") +
                     recordItem("a", "2009-02-02 10:00:00", "2009-02-02 10:06:00", "", "0", "524288")));
    const RecordFilter month{kAll, "2009", "02", kAll};
    const UsageChart days = UsageChart::build(query_.run(month), month);
    EXPECT_EQ(usageChartValue(days), L"上网时间共 1.6 小时，流量共 1.5 MB");
    EXPECT_EQ(usageChartDescription(days).rfind(L"1：1.5 小时，1.0 MB；2：0.1 小时，0.5 MB；3：", 0), 0u);
}

// At any scale and with a font larger than the rows were drawn for, the chart's rows stand
// one under the other: each band's heading above its bars, the labels under them and above
// the next band, every row as high as its text, and the month's 31 labels side by side. At
// 96 DPI the chart keeps the look it has always had.
TEST(UsageChartLayout, RowsNeverOverlapAtAnyScale) {
    auto apart = [](const Rect& upper, const Rect& lower) { return upper.bottom <= lower.top; };
    for (int value : {72, 96, 120, 144, 192, 288}) {
        const Dpi dpi(value);
        // The chart's area and its font as the dialog gives them at this DPI; and a font half
        // as large again (a user's larger text).
        const Rect area = dpi.scale(Rect{0, 0, 516, 276});
        for (int text : {dpi.scale(12), dpi.scale(18)}) {
            SCOPED_TRACE(::testing::Message() << value << " DPI, text " << text);
            const UsageChartLayout chart = layoutUsageChart(area, 31, text, dpi);
            EXPECT_TRUE(apart(chart.time.labels, chart.traffic.heading)) << "the two bands";
            for (const UsageBandLayout* band : {&chart.time, &chart.traffic}) {
                EXPECT_TRUE(apart(band->heading, band->plot));
                EXPECT_TRUE(apart(band->plot, band->labels));
                EXPECT_GE(band->heading.height(), text);
                EXPECT_GE(band->labels.height(), text);
                EXPECT_GT(band->plot.height(), 0);
                EXPECT_GE(band->heading.top, area.top);
                EXPECT_LE(band->labels.bottom, area.bottom);
                EXPECT_LE(band->label(30).right, area.right);
                EXPECT_GE(band->label(30).width(), dpi.scale(12)) << "room for \"31\"";
                EXPECT_EQ(band->label(29).right, band->label(30).left);
                const Rect tallest = band->bar(30, 1.0);
                EXPECT_EQ(tallest.top, band->plot.top);
                EXPECT_EQ(tallest.bottom, band->plot.bottom);
                EXPECT_LT(tallest.left, tallest.right);
                EXPECT_GE(band->lineAt(2.0), band->plot.top) << "above every bar: at the top";
            }
        }
    }
    const UsageChartLayout old = layoutUsageChart({0, 0, 516, 276}, 31, 12, Dpi());
    EXPECT_EQ(old.time.heading, (Rect{4, 2, 512, 16}));
    EXPECT_EQ(old.time.labels, (Rect{4, 120, 512, 134}));
    EXPECT_EQ(old.traffic.heading.top, 140);
    EXPECT_EQ(old.time.bar(0, 0.5), (Rect{5, 68, 19, 120}));
    EXPECT_EQ(old.lineWidth, 1);
    EXPECT_FALSE(layoutUsageChart({0, 0, 20, 20}, 31, 12, Dpi()).time.drawable())
        << "too small to draw bars in";
}

}  // namespace
}  // namespace tarnix
