#include "settings/win/ScheduleUsagePage.h"

#include <string>

#include "automation_ids.h"
#include "base/CodePage.h"
#include "settings/win/PageChange.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Pickers.h"

namespace tarnix {

ScheduleUsagePage::ScheduleUsagePage(ConfigStore& config)
    : Dialog(IDD_SETTINGS_SCHEDULE), form_(config) {}

BOOL ScheduleUsagePage::onInitDialog() {
    FillingControls filling(filling_);
    const ScheduleUsageFields fields = form_.load();
    setChecked(IDC_SCHEDULE_RECONNECT, fields.reconnect);
    DateTimePicker time(hwnd(), IDC_SCHEDULE_TIME);
    time.setFormat(L"HH:mm");
    SYSTEMTIME at{};
    GetLocalTime(&at);  // a picker wants a whole date; only the time of day counts
    at.wHour = static_cast<WORD>(fields.reconnectMinutes / 60);
    at.wMinute = static_cast<WORD>(fields.reconnectMinutes % 60);
    at.wSecond = at.wMilliseconds = 0;
    time.setTime(at);
    enableItem(IDC_SCHEDULE_TIME, fields.timeEnabled());
    setItemText(IDC_ALLOWANCE_HOURS, gbToWide(fields.hoursText));
    setItemText(IDC_ALLOWANCE_GIGABYTES, gbToWide(fields.gigabytesText));
    ComboBox days(hwnd(), IDC_ALLOWANCE_START_DAY);
    for (int day = 1; day <= 31; ++day) days.add(std::to_wstring(day));
    days.select(fields.startDay - 1);
    return TRUE;
}

ScheduleUsageFields ScheduleUsagePage::read() const {
    ScheduleUsageFields fields;
    fields.reconnect = isChecked(IDC_SCHEDULE_RECONNECT);
    if (auto at = DateTimePicker(hwnd(), IDC_SCHEDULE_TIME).time())
        fields.reconnectMinutes = at->wHour * 60 + at->wMinute;
    fields.hoursText = wideToGb(itemText(IDC_ALLOWANCE_HOURS));
    fields.gigabytesText = wideToGb(itemText(IDC_ALLOWANCE_GIGABYTES));
    fields.startDay = ComboBox(hwnd(), IDC_ALLOWANCE_START_DAY).selected() + 1;
    return fields;
}

void ScheduleUsagePage::changed() {
    if (!filling_) tellSettingsChanged(hwnd());
}

bool ScheduleUsagePage::onCommand(int id, int code, HWND) {
    if (id == IDC_SCHEDULE_RECONNECT && code == BN_CLICKED) {
        enableItem(IDC_SCHEDULE_TIME, isChecked(IDC_SCHEDULE_RECONNECT));
        changed();
        return true;
    }
    if ((id == IDC_ALLOWANCE_HOURS || id == IDC_ALLOWANCE_GIGABYTES) && code == EN_CHANGE) {
        changed();
        return true;
    }
    if (id == IDC_ALLOWANCE_START_DAY && code == CBN_SELCHANGE) {
        changed();
        return true;
    }
    return false;
}

bool ScheduleUsagePage::onNotify(int id, NMHDR& header, LRESULT&) {
    if (id != IDC_SCHEDULE_TIME || header.code != DTN_DATETIMECHANGE) return false;
    changed();
    return true;
}

bool ScheduleUsagePage::save(void* owner) { return form_.save(read(), owner); }

}  // namespace tarnix
