#include "records/win/RecordQueryDialog.h"

#include "base/CodePage.h"
#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "records/MonthFile.h"
#include "records/RecordExport.h"
#include "records/RecordQuery.h"
#include "TextIds.h"
#include "base/Texts.h"
#include "records/win/AddRecordDialog.h"
#include "records/win/UsageChartDialog.h"
#include "records_ids.h"
#include "widgets/ColumnFit.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Strings.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

struct Column {
    UINT title;
    int width;  // pixels at 96 DPI
};
constexpr Column kColumns[kRecordColumnCount] = {
    {IDS_RECORD_COLUMN_NUMBER, 30},  {IDS_RECORD_COLUMN_USER, 90},
    {IDS_RECORD_COLUMN_START, 130},  {IDS_RECORD_COLUMN_DURATION, 120},
    {IDS_RECORD_COLUMN_ADDRESS, 90}, {IDS_RECORD_COLUMN_CAUSE, 60},
    {IDS_RECORD_COLUMN_SENT, 100},   {IDS_RECORD_COLUMN_RECEIVED, 100}};
// No typical cell claims more: a very long account name is cut rather than the others.
constexpr int kWidestCell = 140;

// The widest cell each column typically shows (the user's: the longest account listed).
std::vector<std::string> widestCells(const std::vector<std::string>& accounts) {
    std::string user;
    for (const std::string& name : accounts)
        if (name.size() > user.size()) user = name;
    const std::string counter = "4294967295";
    return {"99999",
            user,
            "2026-12-31 23:59:59",
            "9" + gbText(IDS_HOURS) + "59" + gbText(IDS_MINUTES) + "59" + gbText(IDS_SECONDS),
            "255.255.255.255",
            abnormalCause(),
            counter,
            counter};
}

void fillChoices(ComboBox box, const std::vector<std::string>& choices) {
    box.clear();
    for (const std::string& choice : choices) box.add(gbToWide(choice));
    box.select(0);
}

}  // namespace

RecordQueryDialog::RecordQueryDialog(std::filesystem::path recordFolder, Clock& clock,
                                     UsageAllowance allowance)
    : Dialog(IDD_RECORD_QUERY),
      folder_(recordFolder),
      editor_(recordFolder),
      clock_(clock),
      allowance_(allowance) {}

ListView RecordQueryDialog::list() const {
    return ListView(hwnd(), IDC_RECORD_LIST);
}

BOOL RecordQueryDialog::onInitDialog() {
    folder_.create();
    const std::vector<std::string> accounts = fillFilters();
    list().useReportLook();
    const Dpi dpi = dpiOf(hwnd());
    for (const Column& column : kColumns)
        list().addColumn(loadString(column.title), dpi.scale(column.width));
    fitColumns(accounts);
    return TRUE;
}

// The list's widths are kept where they fit; where the font draws wider than they allow,
// the columns share the list's width so that every one shows whole.
void RecordQueryDialog::fitColumns(const std::vector<std::string>& accounts) {
    const std::vector<std::string> widest = widestCells(accounts);
    const Dpi dpi = dpiOf(hwnd());
    std::vector<ColumnSpan> spans;
    for (size_t i = 0; i < std::size(kColumns); ++i) {
        const int header = list().cellWidth(loadString(kColumns[i].title));
        const int cell = std::min(list().cellWidth(gbToWide(widest[i])), dpi.scale(kWidestCell));
        spans.push_back({dpi.scale(kColumns[i].width), std::max(header, cell)});
    }
    const std::vector<int> widths = tarnix::fitColumns(spans, list().roomForColumns());
    for (size_t i = 0; i < widths.size(); ++i)
        list().setColumnWidth(static_cast<int>(i), widths[i]);
}

std::vector<std::string> RecordQueryDialog::fillFilters() {
    std::vector<std::string> names = folder_.accountNames();
    std::vector<std::string> accounts{gbText(IDS_RECORD_ALL)};
    accounts.insert(accounts.end(), names.begin(), names.end());
    fillChoices(ComboBox(hwnd(), IDC_RECORD_ACCOUNT), accounts);
    fillChoices(ComboBox(hwnd(), IDC_RECORD_YEAR), folder_.yearChoices(clock_.now().year));
    fillChoices(ComboBox(hwnd(), IDC_RECORD_MONTH), monthChoices());
    fillChoices(ComboBox(hwnd(), IDC_RECORD_DAY), dayChoices());
    return names;
}

RecordFilter RecordQueryDialog::chosenFilter() const {
    auto chosen = [this](int id) { return wideToGb(ComboBox(hwnd(), id).selectedText()); };
    RecordFilter filter;
    filter.account = chosen(IDC_RECORD_ACCOUNT);
    filter.year = chosen(IDC_RECORD_YEAR);
    filter.month = chosen(IDC_RECORD_MONTH);
    filter.day = chosen(IDC_RECORD_DAY);
    return filter;
}

bool RecordQueryDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_RECORD_QUERY:
            query();
            return true;
        case IDC_RECORD_SELECT_ALL:
            selectAll();
            return true;
        case IDC_RECORD_DELETE:
            deleteSelected();
            return true;
        case IDC_RECORD_ADD:
            addByHand();
            return true;
        case IDC_RECORD_CHART:
            showChart();
            return true;
        case IDC_RECORD_EXPORT:
            exportList();
            return true;
    }
    return false;
}

bool RecordQueryDialog::onNotify(int id, NMHDR& header, LRESULT&) {
    if (id != IDC_RECORD_LIST || header.code != LVN_GETDISPINFOW) return false;
    ListView::answerCell(header, [this](int row, int column) {
        if (row < 0 || static_cast<size_t>(row) >= table_.size()) return std::wstring();
        return gbToWide(table_.cell(static_cast<size_t>(row), column));
    });
    return true;
}

void RecordQueryDialog::show(RecordTable table) {
    table_ = std::move(table);
    list().select(-1, false);
    list().setVirtualRowCount(static_cast<int>(table_.size()));
    InvalidateRect(list().hwnd(), nullptr, TRUE);
    setItemText(IDC_RECORD_SUMMARY, gbToWide(table_.summaryLine()));
}

void RecordQueryDialog::query() {
    shownFilter_ = chosenFilter();
    show(RecordQuery(folder_).run(*shownFilter_));
}

void RecordQueryDialog::selectAll() {
    list().focus();
    list().selectAll();
}

void RecordQueryDialog::tell(const std::string& message, bool question) {
    prompt({hwnd(), gbToWide(message), text(IDS_PROMPT_CAPTION),
            question ? PromptIcon::Warning : PromptIcon::Information,
            question ? PromptButtons::YesNo : PromptButtons::Ok});
}

void RecordQueryDialog::deleteSelected() {
    std::vector<int> selected = list().selectedRows();
    if (selected.empty()) {
        tell(gbText(IDS_SELECT_TO_DELETE));
        return;
    }
    const int answer =
        prompt({hwnd(), text(IDS_CONFIRM_DELETE), text(IDS_PROMPT_CAPTION), PromptIcon::Warning,
                PromptButtons::YesNo});
    if (answer != kAnswerYes) return;
    std::vector<size_t> rows(selected.begin(), selected.end());
    RecordChange change = editor_.remove(table_, rows);
    // The summary keeps the totals of the query, as the rows keep their numbers.
    list().select(-1, false);
    list().setVirtualRowCount(static_cast<int>(table_.size()));
    InvalidateRect(list().hwnd(), nullptr, TRUE);
    if (!change.ok()) tell(change.message);
}

void RecordQueryDialog::addByHand() {
    AddRecordDialog dialog(clock_);
    if (dialog.runModal(hwnd()) != IDOK) return;
    RecordChange change = editor_.add(dialog.session());
    if (!change.ok()) {
        tell(change.message);
        return;
    }
    shownFilter_ = RecordFilter{};
    show(RecordQuery(folder_).fullRefresh());
}

void RecordQueryDialog::exportList() {
    PathRequest request{hwnd(),
                        PathDialog::SaveFile,
                        text(IDS_RECORD_EXPORT_TITLE),
                        text(IDS_RECORD_EXPORT_FILTER),
                        L"txt",
                        {}};
    auto path = askForPath(request);
    if (!path) return;
    std::string failure = RecordExport::appendTo(*path, table_);
    if (!failure.empty()) {
        tell(failure);
        return;
    }
    shellOpenChosenFile(*path);
}

}  // namespace tarnix

namespace tarnix {

// The chart is of the filters the user sees chosen: when they changed since the rows were
// listed (or nothing was listed yet), the query runs first, so the list and chart agree.
void RecordQueryDialog::showChart() {
    if (!shownFilter_ || !(*shownFilter_ == chosenFilter())) query();
    UsageChartDialog chart(UsageChart::build(table_, *shownFilter_), allowance_);
    chart.runModal(hwnd());
}

}  // namespace tarnix
