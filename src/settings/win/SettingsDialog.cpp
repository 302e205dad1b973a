#include "settings/win/SettingsDialog.h"

#include "base/Texts.h"
#include "settings_ids.h"

namespace tarnix {

SettingsDialog::SettingsDialog(Services services)
    : Dialog(IDD_SETTINGS),
      runOptions_(services.config, services.startup, std::move(services.program)),
      shutdown_(services.config, services.clock),
      proxy_(services.proxy),
      schedule_(services.config),
      update_(services.updatePage ? services.updatePage(services.config) : OwnedSettingsPage{}),
      emptyPage_(IDD_SETTINGS_EMPTY) {
    model_.attach(SettingsPageId::RunOptions, runOptions_);
    model_.attach(SettingsPageId::Shutdown, shutdown_);
    model_.attach(SettingsPageId::Proxy, proxy_);
    model_.attach(SettingsPageId::Schedule, schedule_);
    if (update_.window && update_.saved) model_.attach(SettingsPageId::Update, *update_.saved);
}

SettingsDialog::~SettingsDialog() = default;

Dialog& SettingsDialog::page(SettingsPageId id) {
    switch (id) {
        case SettingsPageId::RunOptions:
            return runOptions_;
        case SettingsPageId::Update:
            return update_.window ? *update_.window : emptyPage_;
        case SettingsPageId::Shutdown:
            return shutdown_;
        case SettingsPageId::Schedule:
            return schedule_;
        case SettingsPageId::Proxy:
            break;
    }
    return proxy_;
}

BOOL SettingsDialog::onInitDialog() {
    // The pages load as they are made; none of that counts as a change.
    for (const SettingsDialogModel::Tab& tab : SettingsDialogModel::kTabs)
        tabs_.addPage(text(tab.title), page(tab.id));
    tabs_.create(item(IDC_SETTINGS_TABS));
    model_.changed(0);
    showApplyState();
    return TRUE;
}

void SettingsDialog::showApplyState() const {
    enableItem(IDC_SETTINGS_APPLY, model_.applyEnabled());
}

bool SettingsDialog::onMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != SettingsDialogModel::kChangedMessage) return false;
    model_.changed(wParam);
    showApplyState();
    result = 0;
    return true;
}

bool SettingsDialog::onCommand(int id, int code, HWND) {
    if (id != IDC_SETTINGS_APPLY || code != BN_CLICKED) return false;
    model_.apply(hwnd());
    showApplyState();
    return true;
}

void SettingsDialog::onOK() {
    // A refusal leaves the dialog open, so that what was typed can be corrected.
    if (model_.ok(hwnd())) {
        end(IDOK);
        return;
    }
    showApplyState();
}

bool SettingsDialog::onNotify(int, NMHDR& header, LRESULT&) {
    return tabs_.handleNotify(header);
}

}  // namespace tarnix
