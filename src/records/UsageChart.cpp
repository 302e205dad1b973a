#include "records/UsageChart.h"

#include <algorithm>
#include <map>

#include "records/RecordTime.h"
#include "records/SessionTotals.h"

namespace tarnix {
namespace {

// A filter's year or month as a number; 0 for "所有" or anything else.
int number(const std::string& text) {
    if (text.empty() || text.size() > 4) return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

void addTo(UsageBar& bar, int64_t seconds, int64_t bytes) {
    bar.seconds = saturatingAdd(bar.seconds, seconds);
    bar.bytes = saturatingAdd(bar.bytes, bytes);
}

}  // namespace

UsageChart UsageChart::build(const RecordTable& table, const RecordFilter& filter) {
    UsageChart chart;
    const int year = number(filter.year), month = number(filter.month);
    if (year && month >= 1 && month <= 12) {
        chart.unit_ = Unit::Day;
        for (int d = 1; d <= daysInMonth(year, month); ++d) chart.bars_.push_back({d, 0, 0});
    } else if (year) {
        chart.unit_ = Unit::Month;
        for (int m = 1; m <= 12; ++m) chart.bars_.push_back({m, 0, 0});
    }

    std::map<int, UsageBar> years;
    for (size_t i = 0; i < table.size(); ++i) {
        const RecordFile& file = table.fileOf(i);
        const RecordItem item = file.itemAt(table.row(i).where);
        const std::string start = file.value(item, RecordField::StartTime);
        const int64_t seconds =
            sessionSeconds(start, file.value(item, RecordField::EndTime)).value_or(0);
        const int64_t bytes =
            saturatingAdd(SessionTotals::byteCount(file.value(item, RecordField::Send)),
                          SessionTotals::byteCount(file.value(item, RecordField::Recv)));
        const auto begun = parseRecordTime(start);
        UsageBar* bar = &chart.outside_;
        if (begun && chart.unit_ == Unit::Day) {
            const size_t day = static_cast<size_t>(begun->day);
            if (begun->year == year && begun->month == month && day <= chart.bars_.size())
                bar = &chart.bars_[day - 1];
        } else if (begun && chart.unit_ == Unit::Month) {
            if (begun->year == year) bar = &chart.bars_[begun->month - 1];
        } else if (begun) {
            bar = &years[begun->year];
            bar->label = begun->year;
        }
        addTo(*bar, seconds, bytes);
    }
    for (const auto& [label, bar] : years) chart.bars_.push_back(bar);
    return chart;
}

int64_t UsageChart::totalSeconds() const {
    int64_t total = outside_.seconds;
    for (const UsageBar& bar : bars_) total = saturatingAdd(total, bar.seconds);
    return total;
}

int64_t UsageChart::totalBytes() const {
    int64_t total = outside_.bytes;
    for (const UsageBar& bar : bars_) total = saturatingAdd(total, bar.bytes);
    return total;
}

int64_t UsageChart::peakSeconds() const {
    int64_t top = 0;
    for (const UsageBar& bar : bars_) top = std::max(top, bar.seconds);
    return top;
}

int64_t UsageChart::peakBytes() const {
    int64_t top = 0;
    for (const UsageBar& bar : bars_) top = std::max(top, bar.bytes);
    return top;
}

}  // namespace tarnix
