#include "shortcuts/win/ShortcutsPage.h"

#include "base/Paths.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "shortcuts/OutlookBarMenu.h"
#include "shortcuts/ShortcutRules.h"
#include "shortcuts/ShortcutSettings.h"
#include "shortcuts/win/OutlookContextMenu.h"
#include "shortcuts/win/ShellItems.h"
#include "shortcuts/win/ShortcutDialogs.h"
#include "base/CodePage.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/WindowDpi.h"
#include "resource.h"

namespace tarnix {

namespace {

constexpr int kAnimationTick = 200;

void tell(HWND owner, unsigned id) {
    prompt({owner, text(id), text(IDS_PROMPT_CAPTION), PromptIcon::Information,
            PromptButtons::Ok});
}

bool ask(HWND owner, std::wstring question) {
    return prompt({owner, std::move(question), text(IDS_PROMPT_CAPTION), PromptIcon::Question,
                   PromptButtons::YesNo}) == kAnswerYes;
}

}  // namespace

ShortcutsPage::ShortcutsPage(int templateId)
    : Dialog(templateId), programFolder_(programFolder()) {}

// Settings.ini is read and saved back as the page is made (a first start writes it, a
// peer's file is put in the panel's form) even if the tab is never shown. The drives are
// listed only when the page is first shown: asking the shell for a floppy's or a network
// drive's icon can take seconds.
BOOL ShortcutsPage::onInitDialog() {
    RECT client;
    GetClientRect(hwnd(), &client);
    bar_.create(hwnd(), IDC_OUTLOOK_BAR, client);
    DragAcceptFiles(bar_.hwnd(), TRUE);
    bar_.onFilesDropped = [this] { save(); };
    // Icons of 16 and 32 pixels at 96 DPI.
    const Dpi dpi = dpiOf(hwnd());
    const int small = dpi.scale(16), large = dpi.scale(32);
    small_.reset(ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 8, 8));
    large_.reset(ImageList_Create(large, large, ILC_COLOR32 | ILC_MASK, 8, 8));
    for (int id :
         {IDI_SHORTCUT_COMPUTER, IDI_SHORTCUT_FOLDER, IDI_SHORTCUT_PROGRAM, IDI_SHORTCUT_WEB}) {
        addImage(id);
    }
    bar_.setOwner(hwnd());
    bar_.setImageLists(small_.get(), large_.get());
    bar_.setAnimationTick(kAnimationTick);
    bar_.addFolder(gbText(IDS_SHORTCUT_MY_COMPUTER));
    load();
    loaded_ = true;
    save();
    bar_.openFolder(0);
    return TRUE;
}

void ShortcutsPage::addImage(int iconId) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    for (HIMAGELIST list : {small_.get(), large_.get()}) {
        int size = 0, height = 0;
        ImageList_GetIconSize(list, &size, &height);
        HICON loaded = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
        if (!loaded) {
            loaded = static_cast<HICON>(
                LoadImageW(module, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, size, size, 0));
        }
        ScopedIcon icon(loaded);
        ImageList_AddIcon(list, icon.get());
    }
}

void ShortcutsPage::fill() {
    if (drivesListed_ || !bar_.hwnd()) return;
    drivesListed_ = true;
    fillDrives();
}

void ShortcutsPage::fillDrives() {
    addShortcut(0, gbText(IDS_SHORTCUT_FLOPPY), "A:\\");
    // The drive's type tells whether it exists without making it current: the process's
    // current folder is left alone.
    for (char letter = 'C'; letter <= 'Y'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) continue;
        addShortcut(0, root, root);
    }
}

void ShortcutsPage::load() {
    const PanelSettings settings =
        ShortcutSettings(ShortcutSettings::fileIn(programFolder_)).load();
    bar_.setSmallIcons(settings.smallIcons);
    for (const SavedFolder& saved : settings.folders) {
        const int folder = bar_.addFolder(saved.name);
        if (folder < 0) {
            beyond_.push_back(saved);  // more than the bar shows: kept for the next save
            continue;
        }
        for (const SavedShortcut& shortcut : saved.shortcuts) {
            addShortcut(folder, shortcut.name, shortcut.target, true);
        }
    }
    if (settings.activeFolder < bar_.model().folderCount()) bar_.openFolder(settings.activeFolder);
}

void ShortcutsPage::save() {
    if (!loaded_) return;
    ShortcutSettings(ShortcutSettings::fileIn(programFolder_))
        .save(ShortcutSettings::of(bar_.model(), beyond_));
}

int ShortcutsPage::imageFor(const std::string& target) {
    if (isWebAddress(target)) return kWebImage;
    return addShellIcon(gbToWide(target), small_.get(), large_.get());
}

bool ShortcutsPage::addShortcut(int folder, const std::string& name, const std::string& target,
                                bool saved) {
    int image = imageFor(target);
    // A saved shortcut whose target is away (a drive not plugged in, a program not yet
    // installed) keeps its place with a plain icon: left out, the next save would lose it.
    if (image < 0 && saved) image = kProgramImage;
    if (image < 0) return false;  // the shell knows no such thing
    OutlookItem item;
    item.image = image;
    item.caption = name;
    item.target = target;
    item.location = locationFromTarget(target);
    return bar_.insertItem(folder, -1, std::move(item)) >= 0;
}

bool ShortcutsPage::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_SHOWWINDOW && wParam) fill();
    if (msg == OutlookBarCtrl::kNotifyMessage) {
        result = onBarNotice(wParam, lParam);
        return true;
    }
    return false;
}

LRESULT ShortcutsPage::onBarNotice(WPARAM code, LPARAM data) {
    switch (static_cast<OutlookNotice>(code)) {
        case OutlookNotice::ItemClicked:
            openShortcut(static_cast<int>(data));
            return 0;
        case OutlookNotice::ItemCaptionEdited:
        case OutlookNotice::FolderCaptionEdited:
        case OutlookNotice::ItemDragged:
            // The bar applies the change once it has the answer; save after it.
            post([this] { save(); });
            return 1;
        case OutlookNotice::FolderOpened:
            return 0;
    }
    return 0;
}

void ShortcutsPage::openShortcut(int item) {
    const std::string target = bar_.model().itemTarget(item);
    if (target.empty()) return;
    if (!shellRun({target, bar_.model().itemParameters(item), {}, SW_SHOWNORMAL})) {
        tell(hwnd(), IDS_SHORTCUT_CANNOT_OPEN);
    }
}

bool ShortcutsPage::onCommand(int id, int, HWND) {
    OutlookCommand command;
    if (!outlookCommandOf(id, command)) return false;
    switch (command) {
        case OutlookCommand::LargeIcons:
        case OutlookCommand::SmallIcons:
            bar_.setSmallIcons(command == OutlookCommand::SmallIcons);
            save();
            break;
        case OutlookCommand::AddFolder:
            addFolder();
            break;
        case OutlookCommand::DeleteFolder:
            deleteFolder();
            break;
        case OutlookCommand::AddFile:
            addFile();
            break;
        case OutlookCommand::AddWebPage:
            addWebPage();
            break;
        case OutlookCommand::DeleteFile:
            deleteShortcut();
            break;
        case OutlookCommand::Rename:
            rename();
            break;
    }
    return true;
}

void ShortcutsPage::addFolder() {
    AddGroupDialog dialog;
    if (dialog.runModal(hwnd()) != IDOK) return;
    const TextCheck check = checkNewFolder(bar_.model().folderCount(), dialog.name);
    if (!check.accepted()) {
        tell(hwnd(), check.message);
        return;
    }
    bar_.addFolder(check.value);
    save();
}

void ShortcutsPage::deleteFolder() {
    // The drives and "常用软件" stay.
    const int folder = bar_.model().openFolder();
    if (folder < 2) return;
    if (!ask(hwnd(), text(IDS_SHORTCUT_DELETE_FOLDER))) return;
    bar_.removeFolder(folder);
    save();
}

void ShortcutsPage::addFile() {
    const int folder = bar_.model().openFolder();
    if (folder < 1) return;
    AddFileDialog dialog;
    if (dialog.runModal(hwnd()) != IDOK) return;
    // The user asked for this one: a target the shell does not know is told, not dropped.
    if (!addShortcut(folder, nameFromPath(dialog.path), dialog.path)) {
        tell(hwnd(), IDS_SHORTCUT_TARGET_NOT_FOUND);
        return;
    }
    save();
}

void ShortcutsPage::addWebPage() {
    const int folder = bar_.model().openFolder();
    if (folder < 1) return;
    AddWebPageDialog dialog;
    if (dialog.runModal(hwnd()) != IDOK) return;
    if (!addShortcut(folder, dialog.name, dialog.address)) return;
    save();
}

void ShortcutsPage::deleteShortcut() {
    const OutlookHit& place = bar_.lastRightClick();
    if (place.kind != OutlookHit::Item || place.index >= bar_.model().itemCount()) return;
    const OutlookBarModel& model = bar_.model();
    const std::string question = deleteShortcutQuestion(model.folderCaption(model.openFolder()),
                                                        model.itemCaption(place.index));
    if (!ask(hwnd(), gbToWide(question))) return;
    bar_.removeItem(place.index);
    save();
}

void ShortcutsPage::rename() {
    const OutlookHit& place = bar_.lastRightClick();
    if (place.kind != OutlookHit::Item && place.kind != OutlookHit::Header) return;
    if (!ask(hwnd(), text(IDS_SHORTCUT_RENAME_QUESTION))) return;
    // The new caption is saved once the bar has it (its notice).
    bar_.editCaptionUnderRightClick();
}

bool ShortcutsPage::onEraseBackground(HDC dc) {
    if (highContrast()) return false;  // the system's dialog colour
    if (!background_) background_ = loadBitmap(IDB_SHORTCUTS_BACKGROUND, dpiOf(hwnd()));
    if (!background_) return false;
    RECT client;
    GetClientRect(hwnd(), &client);
    const SIZE size = bitmapSize(background_.get());
    MemoryDC source(dc);
    SelectGuard keep(source.get(), background_.get());
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    return true;
}

void ShortcutsPage::onSize(UINT, int width, int height) {
    if (bar_.hwnd()) MoveWindow(bar_.hwnd(), 0, 0, width, height, TRUE);
}

void ShortcutsPage::onDestroy() {
    save();
}

}  // namespace tarnix
