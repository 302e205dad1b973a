#include "records/win/AddRecordDialog.h"

#include "base/CodePage.h"
#include "base/Prompt.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "records_ids.h"
#include "widgets/win/Pickers.h"
#include "widgets/win/Strings.h"

namespace tarnix {

AddRecordDialog::AddRecordDialog(Clock& clock) : Dialog(IDD_ADD_RECORD), clock_(clock) {}

BOOL AddRecordDialog::onInitDialog() {
    const LocalTime now = clock_.now();
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(now.year);
    t.wMonth = static_cast<WORD>(now.month);
    t.wDay = static_cast<WORD>(now.day);
    t.wHour = static_cast<WORD>(now.hour);
    t.wMinute = static_cast<WORD>(now.minute);
    t.wSecond = static_cast<WORD>(now.second);
    for (int id : {IDC_ADD_START_DATE, IDC_ADD_START_TIME, IDC_ADD_END_DATE, IDC_ADD_END_TIME})
        DateTimePicker(hwnd(), id).setTime(t);
    // The files' own forms, whatever the system's date format.
    DateTimePicker(hwnd(), IDC_ADD_START_DATE).setFormat(L"yyyy-MM-dd");
    DateTimePicker(hwnd(), IDC_ADD_END_DATE).setFormat(L"yyyy-MM-dd");
    DateTimePicker(hwnd(), IDC_ADD_START_TIME).setFormat(L"HH:mm:ss");
    DateTimePicker(hwnd(), IDC_ADD_END_TIME).setFormat(L"HH:mm:ss");
    return TRUE;
}

LocalTime AddRecordDialog::pickedTime(int dateId, int timeId) const {
    LocalTime time;
    if (auto date = DateTimePicker(hwnd(), dateId).time()) {
        time.year = date->wYear;
        time.month = date->wMonth;
        time.day = date->wDay;
    }
    if (auto clock = DateTimePicker(hwnd(), timeId).time()) {
        time.hour = clock->wHour;
        time.minute = clock->wMinute;
        time.second = clock->wSecond;
    }
    return time;
}

void AddRecordDialog::onOK() {
    session_.user = wideToGb(itemText(IDC_ADD_USER));
    if (ManualSession::isBlank(session_.user)) {
        // Refused here, so that what was typed in the other fields stays.
        prompt({hwnd(), text(IDS_ADD_USER_MISSING), text(IDS_PROMPT_CAPTION),
                PromptIcon::Information});
        SetFocus(item(IDC_ADD_USER));
        return;
    }
    // A blank field of the address counts as 0, as the control shows it.
    DWORD packed = 0;
    SendMessageW(item(IDC_ADD_ADDRESS), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&packed));
    session_.ip = ManualSession::addressText(packed);
    session_.start = pickedTime(IDC_ADD_START_DATE, IDC_ADD_START_TIME);
    session_.end = pickedTime(IDC_ADD_END_DATE, IDC_ADD_END_TIME);
    session_.sent = wideToGb(itemText(IDC_ADD_SENT));
    session_.received = wideToGb(itemText(IDC_ADD_RECEIVED));
    end(IDOK);
}

}  // namespace tarnix
