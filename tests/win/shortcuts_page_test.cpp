// The "辅助功能" page: its folders from Settings.ini, the context menu's commands through
// their dialogs, opening shortcuts through the shell seam; and the list opened after
// connecting.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "../support/DialogDriver.h"
#include "../support/PathAnswerer.h"
#include "base/Profile.h"
#include "base/Prompt.h"
#include "resource.h"
#include "shortcuts/ShortcutRules.h"
#include "shortcuts/ShortcutSettings.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "shortcuts/win/OpenSoftDialog.h"
#include "shortcuts/win/OpenSoftLauncher.h"
#include "shortcuts/win/ShellItems.h"
#include "shortcuts/win/ShortcutsPage.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::driveNextDialog;
using testing::PathAnswerer;

// Answers every question with `answer` and keeps the texts.
class Answers {
  public:
    Answers() {
        setPromptHandler([this](const PromptRequest& request) {
            texts.push_back(request.text);
            return answer;
        });
    }
    ~Answers() { setPromptHandler({}); }
    std::vector<std::wstring> texts;
    int answer = kAnswerYes;
};

// Keeps what the shell was asked to run and answers with `succeed`.
class Runs {
  public:
    Runs() {
        setShellRunHandler([this](const ShellRun& run) {
            runs.push_back(run);
            return succeed;
        });
    }
    ~Runs() { setShellRunHandler({}); }
    std::vector<ShellRun> runs;
    bool succeed = true;
};

fs::path freshFolder(const char* name) {
    const fs::path folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

class ShortcutsPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 200, 400, nullptr,
                                nullptr, nullptr, nullptr);
        page_.setProgramFolder(folder_);
        ASSERT_NE(page_.create(host_), nullptr);
        MoveWindow(page_.hwnd(), 0, 0, 180, 400, TRUE);
        ShowWindow(page_.hwnd(), SW_SHOW);  // the first show fills the bar
    }
    void TearDown() override { DestroyWindow(host_); }

    void command(int id) { SendMessageW(page_.hwnd(), WM_COMMAND, id, 0); }
    const OutlookBarModel& bar() { return page_.bar().model(); }
    // Adds a group through "添加分组" and its dialog.
    void addGroup(const std::wstring& name) {
        ASSERT_TRUE(driveNextDialog([&] { command(ID_OUTLOOK_ADD_FOLDER); },
                                    [&](DialogDriver& d) {
                                        d.type(IDC_GROUP_NAME, name);
                                        d.click(IDOK);
                                    }));
    }
    std::string ini() {
        std::ifstream in(folder_ / "Settings.ini", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path folder_ = freshFolder("tarnix-shortcuts-page");
    Answers answers_;
    Runs runs_;
    HWND host_ = nullptr;
    ShortcutsPage page_{IDD_PAGE_SHORTCUTS};
};

TEST_F(ShortcutsPageTest, FirstStartShowsTheDrivesAndCommonSoftwareAndSavesThem) {
    ASSERT_EQ(bar().folderCount(), 2);
    EXPECT_EQ(bar().folderCaption(0), gbText(IDS_SHORTCUT_MY_COMPUTER));
    EXPECT_EQ(bar().folderCaption(1), gbText(IDS_SHORTCUT_COMMON_SOFTWARE));
    EXPECT_EQ(bar().openFolder(), 0);
    EXPECT_GT(bar().itemCount(), 0);  // at least C:\ under Wine
    EXPECT_NE(ini().find("FolderCount=2"), std::string::npos);
}

// Made but never shown (the tab not yet chosen): Settings.ini is written all the same, and
// the drives wait for the first show.
TEST(ShortcutsPageStart, SettingsAreSavedWhenThePageIsMadeAndDrivesListedWhenShown) {
    const fs::path folder = freshFolder("tarnix-shortcuts-unshown");
    HWND host = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 200, 400,
                                nullptr, nullptr, nullptr, nullptr);
    ShortcutsPage page(IDD_PAGE_SHORTCUTS);
    page.setProgramFolder(folder);
    ASSERT_NE(page.create(host), nullptr);
    const fs::path ini = ShortcutSettings::fileIn(folder);
    EXPECT_EQ(systemProfile().readInt(ini, "Status", "FolderCount", 0), 2);
    EXPECT_EQ(systemProfile().readString(ini, "Folder", "1", ""),
              gbText(IDS_SHORTCUT_COMMON_SOFTWARE));
    EXPECT_EQ(systemProfile().readInt(ini, "ItemCount", "1", -1), 0);
    EXPECT_EQ(page.bar().model().itemCount(), 0) << "drives listed before the page shows";
    ShowWindow(page.hwnd(), SW_SHOW);
    EXPECT_GT(page.bar().model().itemCount(), 0);
    DestroyWindow(host);
}

// A file with more folders than the bar shows, a gap in the numbering and shortcuts whose
// targets are not on this machine: the bar shows what it can, and the page's saves keep
// every folder and shortcut where it was.
TEST(ShortcutsPageStart, FoldersAndShortcutsOfAPeersFileSurviveTheSaves) {
    const fs::path folder = freshFolder("tarnix-shortcuts-many");
    const fs::path ini = ShortcutSettings::fileIn(folder);
    const int folders = kMaxShownFolders + 4;
    {
        std::string names = "[Folder]\r\n", counts = "[ItemCount]\r\n", items;
        for (int n = 1; n <= folders; ++n) {
            const std::string key = std::to_string(n);
            if (n != 3) {
                names += key + "=" + (n == 1 ? gbText(IDS_SHORTCUT_COMMON_SOFTWARE) : "f" + key) +
                         "\r\n";
            }
            counts += key + "=1\r\n";
            items += "[" + key + "]\r\n1=s" + key + "\r\n1n=Q:\\away\\" + key + ".exe\r\n";
        }
        std::ofstream(ini, std::ios::binary)
            << "[Status]\r\nFolderCount=" + std::to_string(folders + 1) + "\r\n" + names + counts +
                   items;
    }
    HWND host = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 200, 400,
                                nullptr, nullptr, nullptr, nullptr);
    {
        ShortcutsPage page(IDD_PAGE_SHORTCUTS);
        page.setProgramFolder(folder);
        ASSERT_NE(page.create(host), nullptr);
        const OutlookBarModel& bar = page.bar().model();
        ASSERT_EQ(bar.folderCount(), kMaxShownFolders);
        EXPECT_EQ(bar.folderCaption(4), "f4");
        EXPECT_EQ(bar.folder(4)->items.size(), 1u) << "kept without the shell's icon";
        page.bar().openFolder(2);
        page.bar().removeItem(0);  // a change, saved on the way out
        DestroyWindow(page.hwnd());
    }
    DestroyWindow(host);
    EXPECT_EQ(systemProfile().readInt(ini, "Status", "FolderCount", 0), folders + 1);
    EXPECT_EQ(systemProfile().readString(ini, "Folder", "3", "<none>"), "");
    EXPECT_EQ(systemProfile().readInt(ini, "ItemCount", "2", -1), 0);
    for (int n : {1, 3, 4, kMaxShownFolders, folders}) {
        const std::string key = std::to_string(n);
        EXPECT_EQ(systemProfile().readString(ini, key, "1n", ""), "Q:\\away\\" + key + ".exe");
        if (n != 3 && n != 1) EXPECT_EQ(systemProfile().readString(ini, "Folder", key, ""), "f" + key);
    }
}

TEST_F(ShortcutsPageTest, EightGroupsAtMostAndEmptyNamesRefused) {
    // An empty name keeps the dialog open with its message.
    ASSERT_TRUE(driveNextDialog([&] { command(ID_OUTLOOK_ADD_FOLDER); },
                                [&](DialogDriver& d) {
                                    d.type(IDC_GROUP_NAME, L"   ");
                                    d.click(IDOK);
                                    EXPECT_TRUE(IsWindow(d.hwnd()));
                                    d.click(IDCANCEL);
                                }));
    ASSERT_EQ(answers_.texts.size(), 1u);
    EXPECT_EQ(answers_.texts[0], text(IDS_SHORTCUT_EMPTY_GROUP_NAME));

    for (int i = 2; i < 8; ++i) addGroup(L"group " + std::to_wstring(i));
    EXPECT_EQ(bar().folderCount(), 8);
    addGroup(L"one too many");
    EXPECT_EQ(bar().folderCount(), 8);
    EXPECT_EQ(answers_.texts.back(), text(IDS_SHORTCUT_TOO_MANY_FOLDERS));
    EXPECT_NE(ini().find("FolderCount=8"), std::string::npos);
}

TEST_F(ShortcutsPageTest, WebPageAddedOpensAndIsDeletedAfterTheQuestion) {
    page_.bar().openFolder(1);
    ASSERT_TRUE(driveNextDialog([&] { command(ID_OUTLOOK_ADD_WEB); },
                                [&](DialogDriver& d) {
                                    d.type(IDC_WEB_NAME, L"news");
                                    d.type(IDC_WEB_ADDRESS, L"example.com");
                                    d.click(IDOK);
                                }));
    ASSERT_EQ(bar().itemCount(), 1);
    EXPECT_EQ(bar().itemTarget(0), "http://example.com");
    EXPECT_EQ(bar().item(0)->image, ShortcutsPage::kWebImage);
    EXPECT_NE(ini().find("1n=http://example.com"), std::string::npos);

    // A click opens it with the default action; a failure says so.
    const OutlookBarLayout place = page_.bar().layout();
    const Rect icon = place.itemPlace(0).icon;
    const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
    runs_.succeed = false;
    SendMessageW(page_.bar().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(page_.bar().hwnd(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(runs_.runs.size(), 1u);
    EXPECT_EQ(runs_.runs[0].target, "http://example.com");
    EXPECT_TRUE(runs_.runs[0].verb.empty());
    EXPECT_EQ(answers_.texts.back(), text(IDS_SHORTCUT_CANNOT_OPEN));

    page_.bar().rightClickAt({(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2});
    answers_.answer = kAnswerNo;
    command(ID_OUTLOOK_DELETE_FILE);
    EXPECT_EQ(bar().itemCount(), 1);
    answers_.answer = kAnswerYes;
    command(ID_OUTLOOK_DELETE_FILE);
    EXPECT_EQ(bar().itemCount(), 0);
    EXPECT_NE(answers_.texts.back().find(L"\"news\""), std::wstring::npos);
}

TEST_F(ShortcutsPageTest, AddFileBrowsesByKindAndTellsATargetTheShellDoesNotKnow) {
    page_.bar().openFolder(1);
    const std::wstring notepad = L"C:\\windows\\notepad.exe";
    PathAnswerer chosen{fs::path(notepad)};
    ASSERT_TRUE(driveNextDialog([&] { command(ID_OUTLOOK_ADD_FILE); },
                                [&](DialogDriver& d) {
                                    d.click(IDC_FILE_BROWSE);
                                    EXPECT_EQ(d.text(IDC_FILE_PATH), notepad);
                                    // A cancelled dialog leaves the chosen path alone.
                                    chosen.answer.reset();
                                    d.click(IDC_FILE_KIND_FOLDER);
                                    d.click(IDC_FILE_BROWSE);
                                    EXPECT_EQ(d.text(IDC_FILE_PATH), notepad);
                                    d.click(IDOK);
                                }));
    ASSERT_EQ(chosen.asked.size(), 2u);
    EXPECT_EQ(chosen.asked[0].kind, PathDialog::OpenFile);
    EXPECT_EQ(chosen.asked[1].kind, PathDialog::Folder);
    ASSERT_EQ(bar().itemCount(), 1);
    EXPECT_EQ(bar().itemTarget(0), "C:\\windows\\notepad.exe");
    EXPECT_EQ(bar().itemCaption(0), "notepad.exe");
    EXPECT_NE(ini().find("C:\\windows\\notepad.exe"), std::string::npos);

    // A typed path that leads nowhere is told and adds nothing.
    ASSERT_TRUE(driveNextDialog([&] { command(ID_OUTLOOK_ADD_FILE); },
                                [&](DialogDriver& d) {
                                    d.type(IDC_FILE_PATH, L"C:\\no\\such\\program.exe");
                                    d.click(IDOK);
                                }));
    EXPECT_EQ(bar().itemCount(), 1);
    ASSERT_FALSE(answers_.texts.empty());
    EXPECT_EQ(answers_.texts.back(), text(IDS_SHORTCUT_TARGET_NOT_FOUND));
}

TEST(OpenSoftLauncherTest, OpensEveryListedEntryInOrder) {
    const fs::path folder = freshFolder("tarnix-opensoft");
    fs::create_directories(folder / "data");
    std::ofstream(folder / "data" / "opensoft.xml", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<soft>"
           "<ITEM><softname>pad</softname><softpath>C:\\pad.exe</softpath></ITEM>"
           "<ITEM><softname>site</softname><softpath>http://example.com</softpath></ITEM>"
           "</soft>";
    Runs runs;
    EXPECT_EQ(openSoftListEntries(folder), 2);
    ASSERT_EQ(runs.runs.size(), 2u);
    EXPECT_EQ(runs.runs[0].target, "C:\\pad.exe");
    EXPECT_EQ(runs.runs[0].verb, "open");
    EXPECT_EQ(runs.runs[1].target, "http://example.com");

    fs::remove(folder / "data" / "opensoft.xml");
    EXPECT_EQ(openSoftListEntries(folder), 0);
}

TEST(OpenSoftDialogTest, ProgramsAreAddedOnceAndDeletedBySelection) {
    const fs::path folder = freshFolder("tarnix-opensoft-editor");
    Answers answers;
    PathAnswerer chosen(fs::path("C:\\tools\\pad.exe"));
    ASSERT_TRUE(driveNextDialog([&] { OpenSoftDialog(folder).runModal(nullptr); },
                                [&](DialogDriver& d) {
                                    d.click(IDC_OPENSOFT_ADD_PROGRAM);
                                    d.click(IDC_OPENSOFT_ADD_PROGRAM);  // the same program again
                                    chosen.answer = fs::path("C:\\tools");
                                    d.click(IDC_OPENSOFT_ADD_PROGRAM);  // a folder: new rows on top
                                    EXPECT_EQ(d.rows(IDC_OPENSOFT_LIST),
                                              (std::vector<std::vector<std::wstring>>{
                                                  {L"tools", L"C:\\tools"},
                                                  {L"pad.exe", L"C:\\tools\\pad.exe"}}));
                                    d.click(IDC_OPENSOFT_DELETE);  // nothing selected
                                    ListView(d.hwnd(), IDC_OPENSOFT_LIST).select(1);
                                    d.click(IDC_OPENSOFT_DELETE);
                                    EXPECT_EQ(d.rows(IDC_OPENSOFT_LIST),
                                              (std::vector<std::vector<std::wstring>>{
                                                  {L"tools", L"C:\\tools"}}));
                                    d.click(IDOK);
                                }));
    ASSERT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[0], text(IDS_OPENSOFT_PROGRAM_LISTED));
    EXPECT_EQ(answers.texts[1], text(IDS_SELECT_TO_DELETE));
    // The folder browser, showing files, chooses programs and folders alike.
    ASSERT_FALSE(chosen.asked.empty());
    EXPECT_EQ(chosen.asked[0].kind, PathDialog::FileOrFolder);
    EXPECT_EQ(chosen.asked[0].title, text(IDS_OPENSOFT_CHOOSE_PROGRAM));
}

}  // namespace
}  // namespace tarnix
