// A sample window written the way every new window of the program is, and its tests
// written the way theirs are: the layout and texts in the .rc template, a small class that
// fills its controls through the wrappers and reacts to a few typed handlers, the user's
// questions answered by the test's answerers, the dialog driven with the shared driver.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../support/DialogDriver.h"
#include "../support/PathAnswerer.h"
#include "base/FileDialogs.h"
#include "base/CodePage.h"
#include "test_resource.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"
#include "widgets/win/Strings.h"
#include "widgets/win/TabHost.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::driveNextDialog;
using testing::PathAnswerer;

// ---- the sample window ----------------------------------------------------------------

// A list of accounts with a kind filter, two option pages and an export to a text file.
// A real window keeps its rules (what is listed, what the file holds) in a portable form
// class of its subsystem, tested natively; this one is small enough to hold them itself.
class AccountListDialog : public Dialog {
  public:
    struct Account {
        std::wstring name, kind;
    };
    explicit AccountListDialog(std::vector<Account> accounts)
        : Dialog(IDD_SAMPLE), accounts_(std::move(accounts)) {}

    bool includeDisabled = false;  // page one's check box, read at OK

  protected:
    BOOL onInitDialog() override {
        list().useReportLook();
        list().addColumn(loadString(IDS_SAMPLE_COLUMN_NAME), 120);
        list().addColumn(loadString(IDS_SAMPLE_COLUMN_KIND), 80);
        filter().add(loadString(IDS_SAMPLE_ALL));
        for (const Account& account : accounts_)
            if (filter().find(account.kind) < 0) filter().add(account.kind);
        filter().select(0);
        tabs_.addPage(loadString(IDS_SAMPLE_TAB_ONE), options_);
        tabs_.addPage(loadString(IDS_SAMPLE_TAB_TWO), note_);
        tabs_.create(item(IDC_SAMPLE_TABS));
        fill();
        return TRUE;
    }
    bool onCommand(int id, int code, HWND) override {
        if (id == IDC_SAMPLE_FILTER && code == CBN_SELCHANGE) fill();
        if (id == IDC_SAMPLE_EXPORT && code == BN_CLICKED) exportList();
        return id == IDC_SAMPLE_FILTER || id == IDC_SAMPLE_EXPORT;
    }
    bool onNotify(int, NMHDR& header, LRESULT&) override { return tabs_.handleNotify(header); }
    void onOK() override {
        includeDisabled = options_.isChecked(IDC_SAMPLE_OPTION);
        end(IDOK);
    }

  private:
    ListView list() const { return ListView(hwnd(), IDC_SAMPLE_LIST); }
    ComboBox filter() const { return ComboBox(hwnd(), IDC_SAMPLE_FILTER); }

    void fill() {
        list().clear();
        bool all = filter().selected() <= 0;
        std::wstring kind = filter().selectedText();
        for (const Account& account : accounts_)
            if (all || account.kind == kind) list().addRow({account.name, account.kind});
    }

    void exportList() {
        auto path = askForPath({hwnd(), PathDialog::SaveFile, loadString(IDS_SAMPLE_EXPORT_TITLE),
                                loadString(IDS_SAMPLE_EXPORT_FILTER), L"txt", {}});
        if (!path) return;
        std::ofstream out(*path, std::ios::binary);
        for (int row = 0; row < list().rowCount(); ++row)
            out << wideToGb(list().cell(row, 0)) << '\t' << wideToGb(list().cell(row, 1)) << "\r\n";
    }

    std::vector<Account> accounts_;
    Dialog options_{IDD_SAMPLE_PAGE_ONE};
    Dialog note_{IDD_SAMPLE_PAGE_TWO};
    TabHost tabs_;
};

// ---- its tests ---------------------------------------------------------------------------

const std::vector<AccountListDialog::Account> kAccounts = {
    {L"张三", L"包月"}, {L"lisi", L"计时"}, {L"王五", L"包月"}};

// The page of the tab control that holds control `id`.
HWND pageWith(HWND tabs, int id) {
    for (HWND page = GetWindow(tabs, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, id)) return page;
    return nullptr;
}

class SampleDialogTest : public ::testing::Test {
  protected:
    void open() { ASSERT_NE(dialog_.createModeless(nullptr), nullptr); }
    DialogDriver driver() { return DialogDriver(dialog_.hwnd()); }

    AccountListDialog dialog_{kAccounts};
};

TEST_F(SampleDialogTest, ListsEveryAccountAndTheFilterNarrowsIt) {
    open();
    using Rows = std::vector<std::vector<std::wstring>>;
    EXPECT_EQ(driver().rows(IDC_SAMPLE_LIST),
              (Rows{{L"张三", L"包月"}, {L"lisi", L"计时"}, {L"王五", L"包月"}}));
    EXPECT_EQ(ComboBox(dialog_.hwnd(), IDC_SAMPLE_FILTER).count(), 3) << "所有, 包月, 计时";

    driver().choose(IDC_SAMPLE_FILTER, 2);
    EXPECT_EQ(driver().rows(IDC_SAMPLE_LIST), (Rows{{L"lisi", L"计时"}}));
    driver().choose(IDC_SAMPLE_FILTER, 0);
    EXPECT_EQ(driver().rows(IDC_SAMPLE_LIST).size(), 3u);
}

TEST_F(SampleDialogTest, TheTabsShowOnePageAtATime) {
    open();
    HWND tabs = driver().control(IDC_SAMPLE_TABS);
    HWND first = pageWith(tabs, IDC_SAMPLE_OPTION);
    HWND second = pageWith(tabs, IDC_SAMPLE_NOTE);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_FALSE(IsWindowVisible(second));

    driver().chooseTab(IDC_SAMPLE_TABS, 1);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_EQ(DialogDriver(second).text(IDC_SAMPLE_NOTE), L"第二页");
}

TEST_F(SampleDialogTest, ExportWritesTheListedRowsWhereTheUserChose) {
    const fs::path file = fs::temp_directory_path() /
                          ("tarnix-sample-" + std::to_string(GetCurrentProcessId()) + ".txt");
    fs::remove(file);
    open();
    driver().choose(IDC_SAMPLE_FILTER, 1);
    {
        PathAnswerer cancelled(std::nullopt);
        driver().click(IDC_SAMPLE_EXPORT);
        EXPECT_FALSE(fs::exists(file)) << "a cancelled dialog writes nothing";
    }
    PathAnswerer answerer(file);
    driver().click(IDC_SAMPLE_EXPORT);
    ASSERT_EQ(answerer.asked.size(), 1u);
    EXPECT_EQ(answerer.asked[0].kind, PathDialog::SaveFile);
    EXPECT_EQ(answerer.asked[0].title, L"导出账号清单");
    EXPECT_EQ(answerer.asked[0].defaultExtension, L"txt");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, utf8ToGb("张三\t包月\r\n王五\t包月\r\n"));
    in.close();
    fs::remove(file);
}

TEST(SampleDialog, RunsModallyAndOkReadsThePages) {
    AccountListDialog dialog(kAccounts);
    INT_PTR result = 0;
    ASSERT_TRUE(driveNextDialog([&] { result = dialog.runModal(nullptr); },
                                [](DialogDriver& driver) {
                                    HWND page = pageWith(driver.control(IDC_SAMPLE_TABS),
                                                         IDC_SAMPLE_OPTION);
                                    DialogDriver(page).click(IDC_SAMPLE_OPTION);
                                    driver.click(IDOK);
                                }));
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dialog.includeDisabled);

    AccountListDialog cancelled(kAccounts);
    ASSERT_TRUE(driveNextDialog([&] { result = cancelled.runModal(nullptr); },
                                [](DialogDriver& driver) { driver.click(IDCANCEL); }));
    EXPECT_EQ(result, IDCANCEL) << "Cancel ends a modal dialog by default";
}

}  // namespace
}  // namespace tarnix
