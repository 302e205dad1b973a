#include "settings/win/RunOptionsPage.h"

#include "base/CodePage.h"
#include "base/Texts.h"
#include "settings/win/PageChange.h"
#include "settings_ids.h"
#include "widgets/win/ComboBox.h"

namespace tarnix {
namespace {

// The tries field holds a count of up to ten digits.
constexpr int kTriesDigits = 10;

}  // namespace

RunOptionsPage::RunOptionsPage(ConfigStore& config, StartupRegistration& startup,
                               std::filesystem::path program)
    : Dialog(IDD_SETTINGS_RUN), form_(config, startup, std::move(program)) {}

BOOL RunOptionsPage::onInitDialog() {
    FillingControls filling(filling_);
    ComboBox intervals(hwnd(), IDC_RUN_INTERVAL);
    for (const RedialInterval& interval : kRedialIntervals) intervals.add(text(interval.text));
    SendDlgItemMessageW(hwnd(), IDC_RUN_TRIES, EM_SETLIMITTEXT, kTriesDigits, 0);
    show(form_.load());
    return TRUE;
}

void RunOptionsPage::show(const RunOptionsFields& fields) {
    FillingControls filling(filling_);
    setChecked(IDC_RUN_STARTUP, fields.startUp);
    setChecked(IDC_RUN_AUTOCONNECT, fields.autoConnect);
    setChecked(IDC_RUN_RECONNECT, fields.reconnect);
    setChecked(IDC_RUN_ALWAYS, fields.alwaysConnect);
    ComboBox(hwnd(), IDC_RUN_INTERVAL).select(fields.intervalIndex);
    setItemText(IDC_RUN_TRIES, gbToWide(fields.triesText));
    enableRedial(fields.redialEnabled());
}

RunOptionsFields RunOptionsPage::read() const {
    RunOptionsFields fields;
    fields.startUp = isChecked(IDC_RUN_STARTUP);
    fields.autoConnect = isChecked(IDC_RUN_AUTOCONNECT);
    fields.reconnect = isChecked(IDC_RUN_RECONNECT);
    fields.alwaysConnect = isChecked(IDC_RUN_ALWAYS);
    fields.intervalIndex = ComboBox(hwnd(), IDC_RUN_INTERVAL).selected();
    fields.triesText = wideToGb(itemText(IDC_RUN_TRIES));
    return fields;
}

void RunOptionsPage::enableRedial(bool enabled) const {
    enableItem(IDC_RUN_INTERVAL, enabled);
    enableItem(IDC_RUN_TRIES, enabled);
}

bool RunOptionsPage::onCommand(int id, int code, HWND) {
    switch (id) {
        case IDC_RUN_STARTUP:
        case IDC_RUN_AUTOCONNECT:
        case IDC_RUN_RECONNECT:
        case IDC_RUN_ALWAYS:
            if (code != BN_CLICKED) return false;
            if (id == IDC_RUN_RECONNECT) enableRedial(isChecked(IDC_RUN_RECONNECT));
            break;
        case IDC_RUN_INTERVAL:
            if (code != CBN_SELCHANGE) return false;
            break;
        case IDC_RUN_TRIES:
            if (code != EN_CHANGE) return false;
            break;
        default:
            return false;
    }
    if (!filling_) tellSettingsChanged(hwnd());
    return true;
}

bool RunOptionsPage::save(void* owner) {
    RunOptionsFields fields = read();
    const bool saved = form_.save(fields, owner);
    // A refusal may have cleared "开机启动".
    FillingControls filling(filling_);
    setChecked(IDC_RUN_STARTUP, fields.startUp);
    return saved;
}

}  // namespace tarnix
