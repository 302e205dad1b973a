#include "records/win/StatisticsDialog.h"

#include "TextIds.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "records/ChartSpeech.h"
#include "records/win/RateGraph.h"
#include "records_ids.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {

StatisticsDialog::StatisticsDialog(LinkReadings& link, std::filesystem::path recordFolder,
                                   Clock& clock, UsageAllowance allowance)
    : Dialog(IDD_STATISTICS), model_(link, std::move(recordFolder), clock, allowance) {}

BOOL StatisticsDialog::onInitDialog() {
    model_.open();
    // The share's line is there only for a subscriber who set an allowance.
    if (model_.fields().allowanceUsed.empty()) {
        ShowWindow(item(IDC_STAT_ALLOWANCE_LABEL), SW_HIDE);
        ShowWindow(item(IDC_STAT_ALLOWANCE), SW_HIDE);
    }
    graph_.attach(item(IDC_STAT_GRAPH), [this] {
        AccessiblePart part;
        part.name = text(IDS_ACC_RATE_GRAPH);
        part.role = ROLE_SYSTEM_CHART;
        part.value = rateGraphValue(model_.history());
        return part;
    });
    showFields();
    SetTimer(hwnd(), kTimer, 1000, nullptr);
    return TRUE;
}

void StatisticsDialog::onTimer(UINT_PTR id) {
    if (id != kTimer) return;
    // When the connections cannot be listed the window stays as it is.
    if (!model_.tick()) KillTimer(hwnd(), kTimer);
    showFields();
}

void StatisticsDialog::onDestroy() {
    KillTimer(hwnd(), kTimer);
}

void StatisticsDialog::showFields() {
    const StatisticsFields& fields = model_.fields();
    setItemText(IDC_STAT_ADDRESS, gbToWide(fields.address));
    setItemText(IDC_STAT_SPEED, gbToWide(fields.speed));
    setItemText(IDC_STAT_SENT, gbToWide(fields.sent));
    setItemText(IDC_STAT_RECEIVED, gbToWide(fields.received));
    setItemText(IDC_STAT_CONNECTED, gbToWide(fields.connectedTime));
    setItemText(IDC_STAT_ALLOWANCE, gbToWide(fields.allowanceUsed));
    if (fields.activityIcon != shownIcon_) {
        // Shared icons belong to the module: nothing to free.
        HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(fields.activityIcon),
                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
        SendMessageW(item(IDC_STAT_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        shownIcon_ = fields.activityIcon;
    }
    InvalidateRect(item(IDC_STAT_GRAPH), nullptr, FALSE);
}

bool StatisticsDialog::onMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (draw->CtlID != IDC_STAT_GRAPH) return false;
    drawRateGraph(draw->hDC, draw->rcItem, model_.history(),
                  reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)), dpiOf(hwnd()));
    result = TRUE;
    return true;
}

}  // namespace tarnix
