#include "shortcuts/win/OpenSoftDialog.h"

#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "shortcuts/win/ShortcutDialogs.h"
#include "shortcuts_ids.h"
#include "base/CodePage.h"
#include "widgets/win/ListView.h"

namespace tarnix {

OpenSoftDialog::OpenSoftDialog(const std::filesystem::path& programFolder)
    : Dialog(IDD_OPENSOFT), list_(OpenSoftList::fileIn(programFolder)) {}

BOOL OpenSoftDialog::onInitDialog() {
    ListView list(hwnd(), IDC_OPENSOFT_LIST);
    list.useReportLook();
    list.addColumn(text(IDS_OPENSOFT_NAME_COLUMN), 120);
    list.addColumn(text(IDS_OPENSOFT_PATH_COLUMN), 300);
    list_.load();
    fillList();
    return TRUE;
}

void OpenSoftDialog::fillList() {
    ListView list(hwnd(), IDC_OPENSOFT_LIST);
    list.clear();
    for (const OpenSoftEntry& entry : list_.entries()) {
        list.addRow({gbToWide(entry.name), gbToWide(entry.path)});
    }
}

bool OpenSoftDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_OPENSOFT_ADD_PROGRAM:
            addProgram();
            return true;
        case IDC_OPENSOFT_ADD_WEB:
            addWebPage();
            return true;
        case IDC_OPENSOFT_DELETE:
            removeSelected();
            return true;
    }
    return false;
}

// A new entry is added at the end of the file but shown at the top of the list, where
// the user sees it at once; the list is in file order again when the dialog reopens.
void OpenSoftDialog::report(OpenSoftList::Change change, const OpenSoftEntry* added) {
    if (change == OpenSoftList::Change::Done) {
        if (added) {
            ListView(hwnd(), IDC_OPENSOFT_LIST).insertRow(0, {gbToWide(added->name),
                                                              gbToWide(added->path)});
        } else {
            fillList();
        }
        return;
    }
    prompt({hwnd(), text(OpenSoftList::message(change)), text(IDS_PROMPT_CAPTION),
            PromptIcon::Information, PromptButtons::Ok});
}

void OpenSoftDialog::addProgram() {
    auto path = askForPath(
        {hwnd(), PathDialog::FileOrFolder, text(IDS_OPENSOFT_CHOOSE_PROGRAM), {}, {}, {}});
    if (!path) return;
    const OpenSoftList::Change change = list_.addProgram(wideToGb(path->wstring()));
    report(change, lastEntry());
}

void OpenSoftDialog::addWebPage() {
    AddWebPageDialog dialog;
    if (dialog.runModal(hwnd()) != IDOK) return;
    const OpenSoftList::Change change = list_.addWebPage(dialog.name, dialog.address);
    report(change, lastEntry());
}

const OpenSoftEntry* OpenSoftDialog::lastEntry() const {
    return list_.entries().empty() ? nullptr : &list_.entries().back();
}

void OpenSoftDialog::removeSelected() {
    ListView list(hwnd(), IDC_OPENSOFT_LIST);
    const std::vector<int> rows = list.selectedRows();
    if (rows.empty()) {
        prompt({hwnd(), text(IDS_SELECT_TO_DELETE), text(IDS_PROMPT_CAPTION),
                PromptIcon::Information, PromptButtons::Ok});
        return;
    }
    report(list_.remove(wideToGb(list.cell(rows.front(), 0))));
}

}  // namespace tarnix
