#include "records/win/UserManagementDialog.h"

#include "base/CodePage.h"
#include "base/Prompt.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "records_ids.h"
#include "widgets/win/Strings.h"

namespace tarnix {

UserManagementDialog::UserManagementDialog(ConfigStore& store)
    : Dialog(IDD_USER_MANAGEMENT), model_(store) {}

ListView UserManagementDialog::list() const {
    return ListView(hwnd(), IDC_USER_LIST);
}

BOOL UserManagementDialog::onInitDialog() {
    list().useReportLook();
    list().addColumn(loadString(IDS_USER_COLUMN_NUMBER), 70);
    list().addColumn(loadString(IDS_USER_COLUMN_NAME), 370);
    model_.load();
    fillList();
    return TRUE;
}

void UserManagementDialog::fillList() {
    list().clear();
    for (const AccountRow& row : model_.rows())
        list().addRow({std::to_wstring(row.number), gbToWide(row.name)});
}

bool UserManagementDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_USER_DELETE) {
        markSelected();
        return true;
    }
    if (id == IDC_USER_SAVE) {
        model_.save();
        return true;
    }
    return false;
}

void UserManagementDialog::markSelected() {
    std::vector<int> selected = list().selectedRows();
    if (!model_.mark(std::vector<size_t>(selected.begin(), selected.end()))) {
        prompt({hwnd(), text(IDS_SELECT_TO_DELETE), text(IDS_PROMPT_CAPTION),
                PromptIcon::Information, PromptButtons::Ok});
        return;
    }
    fillList();
    enableItem(IDC_USER_SAVE, model_.canSave());
}

}  // namespace tarnix
