// The record query page and the add-session dialog over prepared record files: the
// filters, the query, select all, deletion with its two questions, the manual add and
// the export.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "../support/DialogDriver.h"
#include "../support/PathAnswerer.h"
#include "../support/PixelSnapshot.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "records/win/RecordQueryDialog.h"
#include "records_ids.h"
#include "base/CodePage.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/ListView.h"
#include "widgets/win/Pickers.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::DialogDriver;
using testing::driveNextDialog;
using testing::PathAnswerer;
using Rows = std::vector<std::vector<std::wstring>>;

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void writeRecords(const fs::path& file, const std::string& utf8Items) {
    std::ofstream out(file, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<record>\r\n"
        << utf8ToGb(utf8Items) << "</record>\r\n";
}

std::string item(const char* user, const char* start, const char* end, const char* sent = "100",
                 const char* received = "200") {
    return std::string("<ITEM user=\"") + user + "\" start_time=\"" + start + "\" end_time=\"" +
           end + "\" ip=\"10.0.0.1\" error_code=\"正常断开\" send=\"" + sent + "\" recv=\"" +
           received + "\"/>\r\n";
}

// Answers every message box: Yes (or No) to questions, OK otherwise; keeps the texts.
class Answers {
  public:
    explicit Answers(int toQuestions) {
        setPromptHandler([this, toQuestions](const PromptRequest& request) {
            asked.push_back(request.text);
            return request.buttons == PromptButtons::YesNo ? toQuestions : kAnswerOk;
        });
    }
    ~Answers() { setPromptHandler({}); }
    std::vector<std::wstring> asked;
};

class RecordQueryPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("tarnix-records-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        folder_ = root_ / "data" / "record";
        fs::create_directories(folder_);
        // The newest session first, as the dial writes them; the open one is never listed.
        writeRecords(folder_ / "2009-06.xml",
                     item("张三", "2009-06-30 23:00:00", "") +
                         item("张三", "2009-06-05 10:00:00", "2009-06-05 11:00:30") +
                         item("lisi", "2009-06-04 08:00:00", "2009-06-04 08:02:40"));
        writeRecords(folder_ / "2009-07.xml",
                     item("张三", "2009-07-01 09:00:00", "2009-07-01 09:00:50", "500", "1234"));
    }
    void TearDown() override {
        if (dialog_ && dialog_->hwnd()) DestroyWindow(dialog_->hwnd());
        fs::remove_all(root_);
    }
    void open() {
        dialog_ = std::make_unique<RecordQueryDialog>(folder_);
        ASSERT_NE(dialog_->createModeless(nullptr), nullptr);
    }
    HWND page() const { return dialog_->hwnd(); }
    DialogDriver driver() { return DialogDriver(page()); }
    void chooseText(int id, const std::wstring& text) {
        int index = ComboBox(page(), id).find(text);
        ASSERT_GE(index, 0) << "no entry " << wideToGb(text);
        driver().choose(id, index);
    }

    fs::path root_, folder_;
    std::unique_ptr<RecordQueryDialog> dialog_;
};

TEST_F(RecordQueryPageTest, FiltersChooseTheFilesAndRowsTheQueryLists) {
    open();
    DialogDriver page = driver();
    EXPECT_TRUE(page.rows(IDC_RECORD_LIST).empty()) << "nothing is listed before 查询";
    EXPECT_EQ(page.text(IDC_RECORD_SUMMARY), L"");

    ComboBox accounts(this->page(), IDC_RECORD_ACCOUNT);
    ASSERT_EQ(accounts.count(), 3) << "所有 and each account once";
    EXPECT_EQ(accounts.at(0), L"所有");
    EXPECT_EQ(accounts.at(1), L"张三");
    EXPECT_EQ(accounts.at(2), L"lisi");
    ComboBox years(this->page(), IDC_RECORD_YEAR);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_GE(years.find(std::to_wstring(now.wYear)), 0) << "this year can be chosen";
    EXPECT_EQ(ComboBox(this->page(), IDC_RECORD_DAY).count(), 32);

    page.click(IDC_RECORD_QUERY);
    EXPECT_EQ(page.rows(IDC_RECORD_LIST),
              (Rows{{L"1", L"张三", L"2009-06-05 10:00:00", L"1小时0分钟30秒", L"10.0.0.1",
                     L"正常断开", L"100", L"200"},
                    {L"2", L"lisi", L"2009-06-04 08:00:00", L"2分钟40秒", L"10.0.0.1", L"正常断开",
                     L"100", L"200"},
                    {L"3", L"张三", L"2009-07-01 09:00:00", L"50秒", L"10.0.0.1", L"正常断开",
                     L"500", L"1234"}}));
    EXPECT_EQ(page.text(IDC_RECORD_SUMMARY),
              L"总计      次数：3      时间：1小时4分钟0秒      总流量：2,334字节");

    page.choose(IDC_RECORD_ACCOUNT, 1);
    page.choose(IDC_RECORD_DAY, 5);
    page.click(IDC_RECORD_QUERY);
    ASSERT_EQ(page.rows(IDC_RECORD_LIST).size(), 1u);
    EXPECT_EQ(page.rows(IDC_RECORD_LIST)[0][2], L"2009-06-05 10:00:00");

    page.choose(IDC_RECORD_ACCOUNT, 0);
    page.choose(IDC_RECORD_DAY, 0);
    page.choose(IDC_RECORD_YEAR, years.find(L"2009"));
    page.choose(IDC_RECORD_MONTH, 7);
    page.click(IDC_RECORD_QUERY);
    ASSERT_EQ(page.rows(IDC_RECORD_LIST).size(), 1u);
    EXPECT_EQ(page.rows(IDC_RECORD_LIST)[0][0], L"1");
    EXPECT_EQ(page.text(IDC_RECORD_SUMMARY),
              L"总计      次数：1      时间：50秒      总流量：1,734字节");
}

TEST_F(RecordQueryPageTest, DeleteAsksTwiceAndRemovesOnlyTheSelectedRecords) {
    open();
    const std::string july = readAll(folder_ / "2009-07.xml");
    driver().click(IDC_RECORD_QUERY);
    {
        Answers answers(kAnswerYes);
        driver().click(IDC_RECORD_DELETE);
        EXPECT_EQ(answers.asked, std::vector<std::wstring>{L"请选择待删除的记录！"});
    }
    ListView list(page(), IDC_RECORD_LIST);
    list.select(1);  // lisi, in the June file
    {
        Answers answers(kAnswerNo);
        driver().click(IDC_RECORD_DELETE);
        EXPECT_EQ(answers.asked, std::vector<std::wstring>{L"确定要删除？"});
        EXPECT_EQ(driver().rows(IDC_RECORD_LIST).size(), 3u) << "No keeps every record";
    }
    Answers answers(kAnswerYes);
    driver().click(IDC_RECORD_DELETE);
    Rows rows = driver().rows(IDC_RECORD_LIST);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], L"1");
    EXPECT_EQ(rows[1][0], L"3") << "the other rows keep their numbers";
    const std::string june = readAll(folder_ / "2009-06.xml");
    EXPECT_EQ(june.find("lisi"), std::string::npos);
    EXPECT_NE(june.find("2009-06-30 23:00:00"), std::string::npos) << "the open session stays";
    EXPECT_NE(june.find("2009-06-05 10:00:00"), std::string::npos);
    EXPECT_EQ(readAll(folder_ / "2009-07.xml"), july) << "another month's file is untouched";

    driver().click(IDC_RECORD_SELECT_ALL);
    EXPECT_EQ(list.selectedCount(), 2);
    driver().click(IDC_RECORD_DELETE);
    EXPECT_TRUE(driver().rows(IDC_RECORD_LIST).empty());
    EXPECT_EQ(readAll(folder_ / "2009-07.xml").find("ITEM"), std::string::npos);
}

TEST_F(RecordQueryPageTest, AReadOnlyRecordFileIsNamedAndKeepsItsRecords) {
    const fs::path july = folder_ / "2009-07.xml";
    const std::string before = readAll(july);
    SetFileAttributesW(july.c_str(), FILE_ATTRIBUTE_READONLY);
    open();
    driver().click(IDC_RECORD_QUERY);
    ListView(page(), IDC_RECORD_LIST).select(2);
    Answers answers(kAnswerYes);
    driver().click(IDC_RECORD_DELETE);
    SetFileAttributesW(july.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_NE(answers.asked[1].find(L"2009-07.xml"), std::wstring::npos)
        << wideToGb(answers.asked[1]);
    EXPECT_EQ(readAll(july), before);
    EXPECT_EQ(driver().rows(IDC_RECORD_LIST).size(), 3u) << "the row stays listed";
}

TEST_F(RecordQueryPageTest, ASessionAddedByHandGoesIntoItsStartMonthAndEverythingIsListed) {
    open();
    ASSERT_TRUE(driveNextDialog([&] { driver().click(IDC_RECORD_ADD); },
                                [](DialogDriver& add) {
                                    add.type(IDC_ADD_USER, L"王五");
                                    SendMessageW(add.control(IDC_ADD_ADDRESS), IPM_SETADDRESS, 0,
                                                 MAKEIPADDRESS(192, 168, 1, 20));
                                    SYSTEMTIME start{2009, 6, 2, 30, 23, 0, 0, 0};
                                    SYSTEMTIME end{2009, 7, 3, 1, 1, 0, 0, 0};
                                    DateTimePicker(add.control(IDC_ADD_START_DATE)).setTime(start);
                                    DateTimePicker(add.control(IDC_ADD_START_TIME)).setTime(start);
                                    DateTimePicker(add.control(IDC_ADD_END_DATE)).setTime(end);
                                    DateTimePicker(add.control(IDC_ADD_END_TIME)).setTime(end);
                                    add.type(IDC_ADD_SENT, L"10");
                                    add.type(IDC_ADD_RECEIVED, L"20");
                                    add.click(IDOK);
                                }));
    const std::string june = readAll(folder_ / "2009-06.xml");
    EXPECT_NE(june.find(utf8ToGb("user=\"王五\" start_time=\"2009-06-30 23:00:00\" end_time=\""
                                 "2009-07-01 01:00:00\" ip=\"192.168.1.20\" error_code=\"正常断开\""
                                 " send=\"10\" recv=\"20\"")),
              std::string::npos)
        << june;
    Rows rows = driver().rows(IDC_RECORD_LIST);
    ASSERT_EQ(rows.size(), 4u) << "the page lists every finished session after an add";
    EXPECT_EQ(rows[2][1], L"王五");
    EXPECT_EQ(rows[2][3], L"2小时0分钟0秒");

    // No user: refused with a word, and the dialog stays open with what was typed.
    Answers answers(kAnswerYes);
    bool stayed = false;
    ASSERT_TRUE(driveNextDialog([&] { driver().click(IDC_RECORD_ADD); },
                                [&](DialogDriver& add) {
                                    add.type(IDC_ADD_USER, L"  ");
                                    add.type(IDC_ADD_SENT, L"10");
                                    add.click(IDOK);
                                    stayed = IsWindowVisible(add.hwnd()) != FALSE;
                                    add.click(IDCANCEL);
                                }));
    EXPECT_TRUE(stayed);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_NE(answers.asked[0].find(L"用户名"), std::wstring::npos);
    EXPECT_EQ(readAll(folder_ / "2009-06.xml"), june);

    // Cancel adds nothing.
    ASSERT_TRUE(driveNextDialog([&] { driver().click(IDC_RECORD_ADD); },
                                [](DialogDriver& add) { add.click(IDCANCEL); }));
    EXPECT_EQ(readAll(folder_ / "2009-06.xml"), june);
}

TEST_F(RecordQueryPageTest, ExportAppendsTheRowsToTheChosenFileAndOpensIt) {
    open();
    chooseText(IDC_RECORD_MONTH, L"07");
    driver().click(IDC_RECORD_QUERY);
    const fs::path file = root_ / "export.txt";
    std::vector<fs::path> opened;
    setShellOpenFileHandler([&](const fs::path& path) {
        opened.push_back(path);
        return true;
    });
    {
        PathAnswerer cancelled(std::nullopt);
        driver().click(IDC_RECORD_EXPORT);
        ASSERT_EQ(cancelled.asked.size(), 1u);
        EXPECT_EQ(cancelled.asked[0].title, L"保存用户记录文件");
        EXPECT_EQ(cancelled.asked[0].defaultExtension, L"txt");
        EXPECT_FALSE(fs::exists(file));
    }
    {
        PathAnswerer answerer(file);
        driver().click(IDC_RECORD_EXPORT);
        driver().click(IDC_RECORD_EXPORT);
    }
    setShellOpenFileHandler({});
    const std::string line =
        "1\t张三\t2009-07-01 09:00:00\t50秒\t10.0.0.1\t正常断开\t500\t1234\r\n";
    EXPECT_EQ(readAll(file), utf8ToGb(line + line)) << "appended, GB2312";
    EXPECT_EQ(opened, (std::vector<fs::path>{file, file}));
}

}  // namespace
}  // namespace tarnix

namespace tarnix {
namespace {

// The colour of the time bars, somewhere in the chart's client area.
bool drawsColour(HWND window, COLORREF colour) {
    RECT r;
    GetClientRect(window, &r);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                 PRF_CLIENT | PRF_CHILDREN);
    bool found = false;
    for (int y = 0; y < r.bottom && !found; y += 2)
        for (int x = 0; x < r.right && !found; x += 2) found = GetPixel(memory, x, y) == colour;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return found;
}

TEST_F(RecordQueryPageTest, TheChartShowsTheMonthTheFiltersName) {
    open();
    // Chosen, not yet queried: the chart draws what the filters name, and the list agrees.
    chooseText(IDC_RECORD_YEAR, L"2009");
    chooseText(IDC_RECORD_MONTH, L"06");
    bool bars = false;
    auto showChart = [&] {
        bars = false;
        return driveNextDialog([&] { driver().click(IDC_RECORD_CHART); },
                               [&](DialogDriver& chart) {
                                   bars =
                                       drawsColour(chart.control(IDC_CHART_AREA), RGB(43, 92, 154));
                                   chart.click(IDOK);
                               });
    };
    ASSERT_TRUE(showChart());
    EXPECT_TRUE(bars) << "the month's sessions are drawn as bars";
    EXPECT_EQ(driver().rows(IDC_RECORD_LIST).size(), 2u);

    chooseText(IDC_RECORD_MONTH, L"07");
    ASSERT_TRUE(showChart());
    EXPECT_TRUE(bars);
    ASSERT_EQ(driver().rows(IDC_RECORD_LIST).size(), 1u) << "July's, as the filters now say";
    EXPECT_EQ(dialog_->table().size(), 1u);

    // A monthly allowance is marked by a line; without one there is none.
    auto allowanceLine = [&] {
        bool line = false;
        EXPECT_TRUE(driveNextDialog([&] { driver().click(IDC_RECORD_CHART); },
                                    [&](DialogDriver& chart) {
                                        line = drawsColour(chart.control(IDC_CHART_AREA),
                                                           RGB(220, 40, 40));
                                        RECT shown;
                                        GetWindowRect(chart.hwnd(), &shown);
                                        if (line) testing::saveScreenArea(shown, "usage-chart-allowance");
                                        chart.click(IDOK);
                                    }));
        return line;
    };
    EXPECT_FALSE(allowanceLine());
    DestroyWindow(dialog_->hwnd());
    dialog_ = std::make_unique<RecordQueryDialog>(folder_, systemClock(),
                                                  UsageAllowance{30, std::nullopt, 1});
    ASSERT_NE(dialog_->createModeless(nullptr), nullptr);
    chooseText(IDC_RECORD_YEAR, L"2009");
    chooseText(IDC_RECORD_MONTH, L"06");
    EXPECT_TRUE(allowanceLine());
}

// At the page's own size every column shows whole: none narrower than its header or its
// typical cell, and no horizontal scroll bar hides the last.
TEST_F(RecordQueryPageTest, EveryColumnIsReadableAtThePagesSize) {
    open();
    driver().click(IDC_RECORD_QUERY);
    const ListView list(page(), IDC_RECORD_LIST);
    int total = 0;
    for (int column = 0; column < list.columnCount(); ++column) {
        const int width = list.columnWidth(column);
        total += width;
        wchar_t header[64] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = header;
        info.cchTextMax = 64;
        SendMessageW(list.hwnd(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
        EXPECT_GE(width, list.cellWidth(header)) << column;
    }
    EXPECT_GE(list.columnWidth(2), list.cellWidth(L"2009-06-05 10:00:00"));
    EXPECT_LE(total, list.roomForColumns());
    EXPECT_FALSE(GetWindowLongW(list.hwnd(), GWL_STYLE) & WS_HSCROLL);
}

}  // namespace
}  // namespace tarnix
