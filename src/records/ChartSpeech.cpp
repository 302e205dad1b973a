#include "records/ChartSpeech.h"

#include "TextIds.h"
#include "base/Texts.h"
#include "widgets/SpokenText.h"

namespace tarnix {
namespace {

std::wstring kilobytes(uint64_t bytes) {
    return oneDecimal(static_cast<double>(bytes) / 1024);
}
std::wstring hours(int64_t seconds) {
    return oneDecimal(static_cast<double>(seconds) / 3600);
}
std::wstring megabytes(int64_t bytes) {
    return oneDecimal(static_cast<double>(bytes) / 1048576);
}

}  // namespace

std::wstring rateGraphValue(const RateHistory& history) {
    if (history.size() == 0) return text(IDS_ACC_RATE_NONE);
    const RateSample& newest = history.at(history.size() - 1);
    return fillIn(text(IDS_ACC_RATE_VALUE),
                  {kilobytes(newest.receivedPerSecond), kilobytes(newest.sentPerSecond),
                   std::to_wstring(RateHistory::scaleKilobytes(history.peak()))});
}

std::wstring usageChartValue(const UsageChart& chart) {
    if (chart.bars().empty()) return text(IDS_CHART_NOTHING);
    return fillIn(text(IDS_ACC_USAGE_VALUE),
                  {hours(chart.totalSeconds()), megabytes(chart.totalBytes())});
}

std::wstring usageChartDescription(const UsageChart& chart) {
    std::wstring said;
    for (const UsageBar& bar : chart.bars()) {
        if (!said.empty()) said += L"；";
        said += fillIn(text(IDS_ACC_USAGE_BAR),
                       {std::to_wstring(bar.label), hours(bar.seconds), megabytes(bar.bytes)});
    }
    return said;
}

}  // namespace tarnix
