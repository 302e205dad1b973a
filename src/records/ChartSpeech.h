#pragma once
// What a screen reader says of the rate graph and the usage chart: the figures they draw,
// as text.

#include <string>

#include "records/RateHistory.h"
#include "records/UsageChart.h"

namespace tarnix {

// The newest receive and send rates and the rate at the graph's top line, in KB/s.
std::wstring rateGraphValue(const RateHistory& history);
// The chart's total hours and megabytes.
std::wstring usageChartValue(const UsageChart& chart);
// Each bar in turn: its day (month, year), hours and megabytes.
std::wstring usageChartDescription(const UsageChart& chart);

}  // namespace tarnix
