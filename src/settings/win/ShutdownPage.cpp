#include "settings/win/ShutdownPage.h"

#include "base/Texts.h"
#include "settings/win/PageChange.h"
#include "settings_ids.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Pickers.h"

namespace tarnix {
namespace {

SYSTEMTIME toSystemTime(const LocalTime& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.year);
    s.wMonth = static_cast<WORD>(t.month);
    s.wDay = static_cast<WORD>(t.day);
    s.wHour = static_cast<WORD>(t.hour);
    s.wMinute = static_cast<WORD>(t.minute);
    s.wSecond = static_cast<WORD>(t.second);
    return s;
}

LocalTime toLocalTime(const SYSTEMTIME& s) {
    return {s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond};
}

}  // namespace

ShutdownPage::ShutdownPage(ConfigStore& config, Clock& clock)
    : Dialog(IDD_SETTINGS_SHUTDOWN), form_(config, clock) {}

BOOL ShutdownPage::onInitDialog() {
    FillingControls filling(filling_);
    ComboBox actions(hwnd(), IDC_SHUTDOWN_ACTION);
    for (unsigned action : kShutdownActions) actions.add(text(action));
    // The pickers show what SetTime will hold, whatever the system's own date form is.
    DateTimePicker(hwnd(), IDC_SHUTDOWN_DATE).setFormat(L"yyyy-M-d");
    DateTimePicker(hwnd(), IDC_SHUTDOWN_TIME).setFormat(L"H:mm:ss");
    show(form_.load());
    return TRUE;
}

void ShutdownPage::show(const ShutdownFields& fields) {
    FillingControls filling(filling_);
    setChecked(IDC_SHUTDOWN_ON, fields.scheduled);
    ComboBox(hwnd(), IDC_SHUTDOWN_ACTION).select(fields.actionIndex);
    DateTimePicker(hwnd(), IDC_SHUTDOWN_DATE).setTime(toSystemTime(fields.date));
    DateTimePicker(hwnd(), IDC_SHUTDOWN_TIME).setTime(toSystemTime(fields.time));
    enableFields(fields.fieldsEnabled());
}

ShutdownFields ShutdownPage::read() const {
    ShutdownFields fields;
    fields.scheduled = isChecked(IDC_SHUTDOWN_ON);
    fields.actionIndex = ComboBox(hwnd(), IDC_SHUTDOWN_ACTION).selected();
    if (auto date = DateTimePicker(hwnd(), IDC_SHUTDOWN_DATE).time())
        fields.date = toLocalTime(*date);
    if (auto time = DateTimePicker(hwnd(), IDC_SHUTDOWN_TIME).time())
        fields.time = toLocalTime(*time);
    return fields;
}

void ShutdownPage::enableFields(bool enabled) const {
    enableItem(IDC_SHUTDOWN_ACTION, enabled);
    enableItem(IDC_SHUTDOWN_DATE, enabled);
    enableItem(IDC_SHUTDOWN_TIME, enabled);
}

void ShutdownPage::changed() {
    if (!filling_) tellSettingsChanged(hwnd());
}

bool ShutdownPage::onCommand(int id, int code, HWND) {
    if (id == IDC_SHUTDOWN_ON && code == BN_CLICKED) {
        enableFields(isChecked(IDC_SHUTDOWN_ON));
        changed();
        return true;
    }
    if (id == IDC_SHUTDOWN_ACTION && code == CBN_SELCHANGE) {
        changed();
        return true;
    }
    return false;
}

bool ShutdownPage::onNotify(int id, NMHDR& header, LRESULT&) {
    if ((id == IDC_SHUTDOWN_DATE || id == IDC_SHUTDOWN_TIME) &&
        header.code == DTN_DATETIMECHANGE) {
        changed();
        return true;
    }
    return false;
}

bool ShutdownPage::save(void* owner) {
    ShutdownFields fields = read();
    const bool saved = form_.save(fields, owner);
    // A time that is not in the future clears "定时关机".
    FillingControls filling(filling_);
    setChecked(IDC_SHUTDOWN_ON, fields.scheduled);
    enableFields(fields.fieldsEnabled());
    return saved;
}

}  // namespace tarnix
