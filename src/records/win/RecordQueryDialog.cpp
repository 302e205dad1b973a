#include "records/win/RecordQueryDialog.h"

#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "records/RecordExport.h"
#include "records/RecordQuery.h"
#include "records/RecordTexts.h"
#include "records/win/AddRecordDialog.h"
#include "records/win/UsageChartDialog.h"
#include "records_ids.h"
#include "store/CodePage.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Strings.h"

namespace tarnix {
namespace {

struct Column {
    UINT title;
    int width;
};
constexpr Column kColumns[kRecordColumnCount] = {
    {IDS_RECORD_COLUMN_NUMBER, 30},  {IDS_RECORD_COLUMN_USER, 90},
    {IDS_RECORD_COLUMN_START, 130},  {IDS_RECORD_COLUMN_DURATION, 120},
    {IDS_RECORD_COLUMN_ADDRESS, 90}, {IDS_RECORD_COLUMN_CAUSE, 60},
    {IDS_RECORD_COLUMN_SENT, 100},   {IDS_RECORD_COLUMN_RECEIVED, 100}};

void fillChoices(ComboBox box, const std::vector<std::string>& choices) {
    box.clear();
    for (const std::string& choice : choices) box.add(gbToWide(choice));
    box.select(0);
}

}  // namespace

RecordQueryDialog::RecordQueryDialog(std::filesystem::path recordFolder, Clock& clock)
    : Dialog(IDD_RECORD_QUERY), folder_(recordFolder), editor_(recordFolder), clock_(clock) {}

BOOL RecordQueryDialog::onInitDialog() {
    folder_.create();
    fillFilters();
    list().useReportLook();
    for (const Column& column : kColumns) list().addColumn(loadString(column.title), column.width);
    return TRUE;
}

void RecordQueryDialog::fillFilters() {
    std::vector<std::string> accounts{std::string(record_text::kAll)};
    for (std::string& name : folder_.accountNames()) accounts.push_back(std::move(name));
    fillChoices(ComboBox(hwnd(), IDC_RECORD_ACCOUNT), accounts);
    fillChoices(ComboBox(hwnd(), IDC_RECORD_YEAR), folder_.yearChoices(clock_.now().year));
    fillChoices(ComboBox(hwnd(), IDC_RECORD_MONTH), monthChoices());
    fillChoices(ComboBox(hwnd(), IDC_RECORD_DAY), dayChoices());
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
    if (id != IDC_LIST || header.code != LVN_GETDISPINFOW) return false;
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
    show(RecordQuery(folder_).run(shownFilter_));
}

void RecordQueryDialog::selectAll() {
    list().focus();
    list().selectAll();
}

void RecordQueryDialog::tell(const std::string& gbText, bool question) {
    prompt({hwnd(), gbText, std::string(record_text::kCaption),
            question ? PromptIcon::Warning : PromptIcon::Information,
            question ? PromptButtons::YesNo : PromptButtons::Ok});
}

void RecordQueryDialog::deleteSelected() {
    std::vector<int> selected = list().selectedRows();
    if (selected.empty()) {
        tell(std::string(record_text::kSelectFirst));
        return;
    }
    const int answer =
        prompt({hwnd(), std::string(record_text::kConfirmDelete),
                std::string(record_text::kCaption), PromptIcon::Warning, PromptButtons::YesNo});
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
                        loadGbString(IDS_RECORD_EXPORT_TITLE),
                        loadGbString(IDS_RECORD_EXPORT_FILTER),
                        "txt",
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

void RecordQueryDialog::showChart() {
    UsageChartDialog chart(UsageChart::build(table_, shownFilter_));
    chart.runModal(hwnd());
}

}  // namespace tarnix
