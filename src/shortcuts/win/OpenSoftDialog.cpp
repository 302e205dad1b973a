#include "shortcuts/win/OpenSoftDialog.h"

#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "shortcuts/ShortcutTexts.h"
#include "shortcuts/win/ShortcutDialogs.h"
#include "shortcuts_ids.h"
#include "store/CodePage.h"
#include "widgets/win/ListView.h"

namespace tarnix {

OpenSoftDialog::OpenSoftDialog(const std::filesystem::path& programFolder)
    : Dialog(IDD_OPENSOFT), list_(OpenSoftList::fileIn(programFolder)) {}

BOOL OpenSoftDialog::onInitDialog() {
    ListView list(hwnd(), IDC_OPENSOFT_LIST);
    list.useReportLook();
    list.addColumn(gbToWide(shortcut_text::kOpenSoftNameColumn), 120);
    list.addColumn(gbToWide(shortcut_text::kOpenSoftPathColumn), 300);
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

void OpenSoftDialog::report(OpenSoftList::Change change) {
    if (change == OpenSoftList::Change::Done) {
        fillList();
        return;
    }
    prompt({hwnd(), std::string(OpenSoftList::message(change)),
            std::string(shortcut_text::kCaption), PromptIcon::Information, PromptButtons::Ok});
}

void OpenSoftDialog::addProgram() {
    auto path = askForPath({hwnd(),
                            PathDialog::OpenFile,
                            std::string(shortcut_text::kChooseProgramTitle),
                            std::string(shortcut_text::kAllFilesFilter) + "|*.*",
                            {},
                            {}});
    if (!path) return;
    report(list_.addProgram(wideToGb(path->wstring())));
}

void OpenSoftDialog::addWebPage() {
    AddWebPageDialog dialog;
    if (dialog.runModal(hwnd()) != IDOK) return;
    report(list_.addWebPage(dialog.name, dialog.address));
}

void OpenSoftDialog::removeSelected() {
    ListView list(hwnd(), IDC_OPENSOFT_LIST);
    const std::vector<int> rows = list.selectedRows();
    if (rows.empty()) {
        prompt({hwnd(), std::string(shortcut_text::kNothingSelected),
                std::string(shortcut_text::kCaption), PromptIcon::Information, PromptButtons::Ok});
        return;
    }
    report(list_.remove(wideToGb(list.cell(rows.front(), 0))));
}

}  // namespace tarnix
