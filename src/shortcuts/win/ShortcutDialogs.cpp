#include "shortcuts/win/ShortcutDialogs.h"

#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "shortcuts/ShortcutRules.h"
#include "shortcuts_ids.h"

namespace tarnix {

namespace {
void tell(HWND owner, unsigned id) {
    prompt({owner, text(id), text(IDS_PROMPT_CAPTION), PromptIcon::Information,
            PromptButtons::Ok});
}
}  // namespace

AddGroupDialog::AddGroupDialog() : Dialog(IDD_ADD_GROUP) {}

void AddGroupDialog::exchange(DataExchange& dx) {
    dx.text(IDC_GROUP_NAME, name);
}

void AddGroupDialog::onOK() {
    pull();
    name = trimBlanks(name);
    if (name.empty()) {
        tell(hwnd(), IDS_SHORTCUT_EMPTY_GROUP_NAME);
        return;
    }
    end(IDOK);
}

AddFileDialog::AddFileDialog() : Dialog(IDD_ADD_FILE) {}

BOOL AddFileDialog::onInitDialog() {
    setChecked(IDC_FILE_KIND_FILE, true);
    return TRUE;
}

bool AddFileDialog::onCommand(int id, int code, HWND) {
    if (id != IDC_FILE_BROWSE) return false;
    if (code == BN_CLICKED) browse();
    return true;
}

void AddFileDialog::browse() {
    const bool folder = isChecked(IDC_FILE_KIND_FOLDER);
    PathRequest request{hwnd(), folder ? PathDialog::Folder : PathDialog::OpenFile, {}, {}, {}, {}};
    if (folder) {
        request.title = text(IDS_SHORTCUT_CHOOSE_FOLDER);
    } else {
        request.title = text(IDS_SHORTCUT_OPEN_FILE_TITLE);
        request.filter = text(IDS_SHORTCUT_OPEN_FILE_FILTER);
    }
    auto chosen = askForPath(request);
    if (!chosen) return;
    if (chosen->empty()) {
        tell(hwnd(), IDS_SHORTCUT_CANNOT_USE_PATH);
        return;
    }
    setItemText(IDC_FILE_PATH, chosen->wstring());
}

void AddFileDialog::exchange(DataExchange& dx) {
    dx.text(IDC_FILE_PATH, path);
}

void AddFileDialog::onOK() {
    pull();
    const TextCheck check = checkFilePath(path);
    if (!check.accepted()) {
        tell(hwnd(), check.message);
        return;
    }
    path = check.value;
    end(IDOK);
}

AddWebPageDialog::AddWebPageDialog() : Dialog(IDD_ADD_WEB) {}

void AddWebPageDialog::exchange(DataExchange& dx) {
    dx.text(IDC_WEB_NAME, name);
    dx.text(IDC_WEB_ADDRESS, address);
}

void AddWebPageDialog::onOK() {
    pull();
    const WebPageCheck check = checkWebPage(name, address);
    if (!check.accepted()) {
        tell(hwnd(), check.message);
        return;
    }
    name = check.name;
    address = check.address;
    end(IDOK);
}

}  // namespace tarnix
