#include "records/win/UsageChartDialog.h"

#include <cwchar>
#include <string>

#include "TextIds.h"
#include "base/Texts.h"
#include "base/win/Scoped.h"
#include "records/ChartSpeech.h"
#include "records/UsageChartLayout.h"
#include "widgets/win/Contrast.h"
#include "records_ids.h"
#include "widgets/win/Strings.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

// The bars' colours; in high contrast both the highlight's.
COLORREF barColour(COLORREF art) {
    return highContrast() ? GetSysColor(COLOR_HIGHLIGHT) : art;
}
constexpr COLORREF kTimeBar = RGB(43, 92, 154);
constexpr COLORREF kTrafficBar = RGB(60, 170, 80);
constexpr COLORREF kAllowanceLine = RGB(220, 40, 40);

// A dashed line `width` pixels wide: one pixel wide, the system's own dashes; wider, dashes
// that grow with it (a wider cosmetic pen would draw solid).
ScopedPen dashedPen(int width, COLORREF colour) {
    if (width <= 1) return ScopedPen(CreatePen(PS_DASH, 1, colour));
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return ScopedPen(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, static_cast<DWORD>(width),
                                  &brush, 0, nullptr));
}

// One band of bars with its title and the tallest bar's value (`peakText`) in its heading.
// `mark` (in the bars' unit; 0: none) is drawn as a line across the band, at its top when
// it stands above every bar.
template <class Value>
void drawBand(HDC dc, const UsageBandLayout& band, int lineWidth, const UsageChart& chart,
              Value value, int64_t peak, COLORREF colour, const std::wstring& title,
              const std::wstring& peakText, double mark = 0) {
    const auto& bars = chart.bars();
    std::wstring heading = title + L"  " + peakText;
    TextOutW(dc, band.heading.left, band.heading.top, heading.c_str(),
             static_cast<int>(heading.size()));
    if (!band.drawable()) return;
    ScopedBrush brush(CreateSolidBrush(barColour(colour)));
    for (size_t i = 0; i < bars.size(); ++i) {
        const int index = static_cast<int>(i);
        // In doubles: saturated totals would overflow a product of integers.
        const double share = peak > 0 ? static_cast<double>(value(bars[i])) / peak : 0;
        const Rect b = band.bar(index, share);
        RECT bar{b.left, b.top, b.right, b.bottom};
        FillRect(dc, &bar, brush.get());
        const std::wstring label = std::to_wstring(bars[i].label);
        const Rect l = band.label(index);
        RECT text{l.left, l.top, l.right, l.bottom};
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
                  DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    if (mark <= 0) return;
    const int y = band.lineAt(peak > 0 ? mark / static_cast<double>(peak) : 1);
    ScopedPen pen = dashedPen(lineWidth, kAllowanceLine);
    SelectGuard selected(dc, pen.get());
    MoveToEx(dc, band.plot.left, y, nullptr);
    LineTo(dc, band.plot.right, y);
}

}  // namespace

UsageChartDialog::UsageChartDialog(UsageChart chart, UsageAllowance allowance)
    : Dialog(IDD_USAGE_CHART), chart_(std::move(chart)), allowance_(allowance) {}

BOOL UsageChartDialog::onInitDialog() {
    spoken_.attach(item(IDC_CHART_AREA), [this] {
        AccessiblePart part;
        part.name = text(IDS_ACC_USAGE_CHART);
        part.role = ROLE_SYSTEM_CHART;
        part.value = usageChartValue(chart_);
        part.description = usageChartDescription(chart_);
        return part;
    });
    return TRUE;
}

bool UsageChartDialog::onMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_CHART_AREA) return false;
    const RECT& area = item->rcItem;
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        // Drawn off-screen, then copied in one piece.
        MemoryDC dc(item->hDC);
        ScopedBitmap canvas(CreateCompatibleBitmap(item->hDC, width, height));
        if (dc && canvas) {
            SelectGuard select(dc.get(), canvas.get());
            SelectGuard font(dc.get(),
                             reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
            draw(dc.get(), {0, 0, width, height});
            BitBlt(item->hDC, area.left, area.top, width, height, dc.get(), 0, 0, SRCCOPY);
        }
    }
    result = TRUE;
    return true;
}

void UsageChartDialog::draw(HDC dc, const RECT& area) const {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    if (highContrast()) SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    if (chart_.bars().empty()) {
        const std::wstring nothing = loadString(IDS_CHART_NOTHING);
        RECT all = area;
        DrawTextW(dc, nothing.c_str(), static_cast<int>(nothing.size()), &all,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const UsageChartLayout layout =
        layoutUsageChart({area.left, area.top, area.right, area.bottom},
                         static_cast<int>(chart_.bars().size()), metrics.tmHeight, dpiOf(hwnd()));
    // Bars to scale; the headings name the tallest in hours and megabytes.
    const int64_t peakSeconds = chart_.peakSeconds(), peakBytes = chart_.peakBytes();
    wchar_t hours[32], megabytes[32];
    swprintf(hours, 32, L"%.1f", static_cast<double>(peakSeconds) / 3600);
    swprintf(megabytes, 32, L"%.1f", static_cast<double>(peakBytes) / 1048576);
    // The allowance in the bars' units: a day's even share in a month's chart, the whole of
    // it in a year's; a chart of years has no mark.
    const double seconds = allowance_.hours ? static_cast<double>(*allowance_.hours) * 3600 : 0;
    const double bytes = allowance_.gigabytes
                             ? static_cast<double>(*allowance_.gigabytes) * kBytesPerGigabyte
                             : 0;
    double per = 0;
    if (chart_.unit() == UsageChart::Unit::Day) per = 1.0 / static_cast<double>(chart_.bars().size());
    if (chart_.unit() == UsageChart::Unit::Month) per = 1;
    drawBand(
        dc, layout.time, layout.lineWidth, chart_,
        [](const UsageBar& bar) { return bar.seconds; }, peakSeconds, kTimeBar,
        loadString(IDS_CHART_TIME), hours, seconds * per);
    drawBand(
        dc, layout.traffic, layout.lineWidth, chart_,
        [](const UsageBar& bar) { return bar.bytes; }, peakBytes, kTrafficBar,
        loadString(IDS_CHART_TRAFFIC), megabytes, bytes * per);
}

}  // namespace tarnix
