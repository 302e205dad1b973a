#include "messages/win/MessageCenterDialog.h"

#include <algorithm>

#include "base/CodePage.h"
#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"
#include "base/Texts.h"
#include "messages/MessageCenterTexts.h"
#include "messages_ids.h"
#include "widgets/ColumnFit.h"
#include "widgets/win/ComboBox.h"
#include "widgets/win/Pickers.h"
#include "widgets/win/RichEdit.h"

namespace tarnix {
namespace {

// The header line's and the calendar title's blue.
constexpr COLORREF kHeaderBlue = RGB(140, 169, 229);
enum Column { kTitle, kDate, kTime, kContent };
// As much as a message from the provider may hold (its list allows 16 KB); a longer text
// (a hand-edited store) shows its start: a rich edit lays out a long line slowly.
constexpr size_t kMaxShownContent = 16u << 10;
// The type filter's entries: every type, and the type the provider gives its notices.
constexpr unsigned kTypeFilters[] = {IDS_MSG_TYPE_ALL, IDS_MSG_TYPE_SYSTEM};

// The open centres, on the user-interface thread.
std::vector<MessageCenterDialog*>& openCentres() {
    static std::vector<MessageCenterDialog*> centres;
    return centres;
}

std::string dateText(const SYSTEMTIME& t) {
    char text[16];
    wsprintfA(text, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

}  // namespace


MessageCenterDialog::MessageCenterDialog(MessageStore& store, std::optional<Message> focus)
    : Dialog(IDD_MESSAGE_CENTER), store_(store), focus_(std::move(focus)) {
    openCentres().push_back(this);
}

MessageCenterDialog::~MessageCenterDialog() {
    auto& centres = openCentres();
    centres.erase(std::remove(centres.begin(), centres.end(), this), centres.end());
}

void MessageCenterDialog::closeAll() {
    // Each end() frees its centre, which takes itself off the list.
    for (std::vector<MessageCenterDialog*> centres = openCentres(); MessageCenterDialog* c : centres)
        if (c->hwnd()) c->end(IDCANCEL);
}

MessageCenterDialog* MessageCenterDialog::open(MessageStore& store, std::optional<Message> focus,
                                               HWND owner) {
    RichEdit::loadRichEdit();
    auto* dialog = new MessageCenterDialog(store, std::move(focus));
    // On failure createModeless frees it.
    if (!dialog->createModeless(owner, true)) return nullptr;
    SetForegroundWindow(dialog->hwnd());
    return dialog;
}

ListView MessageCenterDialog::list() const {
    return ListView(hwnd(), IDC_MSG_LIST);
}

BOOL MessageCenterDialog::onInitDialog() {
    headerBrush_.reset(CreateSolidBrush(kHeaderBlue));
    DateTimePicker date(hwnd(), IDC_MSG_DATE);
    date.setCalendarColour(MCSC_TITLEBK, kHeaderBlue);
    date.setFormat(L"yyyy-MM-dd");
    enableItem(IDC_MSG_LINK, false);

    ComboBox type(hwnd(), IDC_MSG_TYPE);
    for (unsigned filter : kTypeFilters) type.add(text(filter));
    type.select(0);

    list().useReportLook();
    list().addColumn(text(IDS_MSG_COLUMN_TITLE), 65);
    list().addColumn(text(IDS_MSG_COLUMN_DATE), 80);
    list().addColumn(text(IDS_MSG_COLUMN_TIME), 70);
    list().addColumn(text(IDS_MSG_COLUMN_CONTENT), 360);
    fill(store_.messages());
    fitColumns();
    setItemText(IDC_MSG_HEADER, text(IDS_MSG_HEADER_INITIAL));

    if (focus_) {
        for (int row = 0; row < list().rowCount(); ++row) {
            const Message shown = rowMessage(row);
            if (shown.date != focus_->date || shown.time != focus_->time ||
                shown.title != focus_->title)
                continue;
            list().select(row);
            list().ensureVisible(row);
            showRow(row);
            break;
        }
    }
    return TRUE;
}

// The list holds no rows of its own (a store may hold many thousands): it asks for the
// cells it shows.
void MessageCenterDialog::fill(std::vector<Message> rows) {
    rows_ = std::move(rows);
    showRowCount();
}

// The title takes what its longest text needs, up to two fifths of the list; date and
// time what theirs need; the content the rest, so no column is cut while another is empty.
void MessageCenterDialog::fitColumns() {
    const ListView l = list();
    const int room = l.roomForColumns();
    const int titleHeader = l.cellWidth(text(IDS_MSG_COLUMN_TITLE));
    int title = 65;
    // The first rows tell enough: measuring every one of many thousands would slow opening.
    for (size_t i = 0; i < rows_.size() && i < 200; ++i)
        title = std::max(title, l.cellWidth(gbToWide(rows_[i].title)));
    const std::vector<int> widths = tarnix::fitColumns(
        {{std::min(title, room * 2 / 5), titleHeader},
         {0, std::max(l.cellWidth(text(IDS_MSG_COLUMN_DATE)), l.cellWidth(L"2026-12-31"))},
         {0, std::max(l.cellWidth(text(IDS_MSG_COLUMN_TIME)), l.cellWidth(L"23:59:59"))},
         {0, l.cellWidth(text(IDS_MSG_COLUMN_CONTENT)), true}},
        room);
    for (size_t i = 0; i < widths.size(); ++i) l.setColumnWidth(static_cast<int>(i), widths[i]);
}

// The message below the list stays only while the list shows it.
void MessageCenterDialog::clearPaneUnlessListed() {
    if (!shown_ || std::find(rows_.begin(), rows_.end(), *shown_) != rows_.end()) return;
    shown_.reset();
    currentUrl_.clear();
    enableItem(IDC_MSG_LINK, false);
    setItemText(IDC_MSG_HEADER, text(IDS_MSG_HEADER_INITIAL));
    setItemText(IDC_MSG_TEXT, L"");
}

void MessageCenterDialog::showRowCount() {
    list().select(-1, false);
    list().setVirtualRowCount(static_cast<int>(rows_.size()));
    InvalidateRect(list().hwnd(), nullptr, TRUE);
}

// The row as the list shows it: the store finds its message by these four texts.
Message MessageCenterDialog::rowMessage(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return {};
    const Message& shown = rows_[static_cast<size_t>(row)];
    return {{}, shown.title, shown.date, shown.time, {}, shown.content};
}

bool MessageCenterDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_MSG_SEARCH:
            search();
            return true;
        case IDC_MSG_DELETE:
            deleteSelected();
            return true;
        case IDC_MSG_EXPORT:
            exportList();
            return true;
        case IDC_MSG_EXIT:
            end(IDCANCEL);
            return true;
        default:
            return false;
    }
}

bool MessageCenterDialog::onNotify(int id, NMHDR& header, LRESULT& result) {
    if (id == IDC_MSG_LIST && header.code == LVN_GETDISPINFOW) {
        ListView::answerCell(header, [this](int row, int column) {
            const Message m = rowMessage(row);
            const std::string& cell = column == kTitle  ? m.title
                                      : column == kDate ? m.date
                                      : column == kTime ? m.time
                                                        : m.content;
            return gbToWide(cell);
        });
        return true;
    }
    if (id == IDC_MSG_LIST && header.code == NM_CLICK) {
        showClicked();
        return true;
    }
    if (id == IDC_MSG_LINK && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        openLink();
        result = 0;
        return true;
    }
    return false;
}

HBRUSH MessageCenterDialog::onControlColour(HDC dc, HWND control, UINT msg) {
    if (msg != WM_CTLCOLORSTATIC || control != item(IDC_MSG_HEADER)) return nullptr;
    SetBkColor(dc, kHeaderBlue);
    return headerBrush_.get();
}

void MessageCenterDialog::search() {
    const std::optional<SYSTEMTIME> picked = DateTimePicker(hwnd(), IDC_MSG_DATE).time();
    const std::string date = picked ? dateText(*picked) : std::string();
    const int filter = ComboBox(hwnd(), IDC_MSG_TYPE).selected();
    const std::string type = filter >= 0 ? gbText(kTypeFilters[size_t(filter)]) : std::string();
    fill(store_.search(date, type));
    fitColumns();
    clearPaneUnlessListed();
}

void MessageCenterDialog::showClicked() {
    const std::vector<int> selected = list().selectedRows();
    if (!selected.empty()) showRow(selected.front());
}

bool MessageCenterDialog::showRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
    const Message m = rowMessage(row);
    // The clicked row's own link: another message may share its date and time.
    currentUrl_ = row >= 0 && size_t(row) < rows_.size() ? messageLinkAddress(rows_[size_t(row)].url)
                                                         : std::string();
    enableItem(IDC_MSG_LINK, !currentUrl_.empty());
    setItemText(IDC_MSG_HEADER, messageHeaderLine(m));
    Message shown = m;
    shown.content = shortenGbText(m.content, kMaxShownContent);
    setItemText(IDC_MSG_TEXT, messageBodyText(shown));
    store_.markRead(m);
    shown_ = rows_[static_cast<size_t>(row)];
    return true;
}

void MessageCenterDialog::deleteSelected() {
    const std::wstring caption = text(IDS_PROMPT_CAPTION);
    if (list().selectedCount() == 0) {
        prompt({hwnd(), text(IDS_SELECT_TO_DELETE), caption, PromptIcon::Information});
        return;
    }
    if (prompt({hwnd(), text(IDS_CONFIRM_DELETE), caption, PromptIcon::Question,
                PromptButtons::YesNo}) != kAnswerYes)
        return;
    // From the last up, so that the rows still to go keep their places.
    const std::vector<int> selected = list().selectedRows();
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
        store_.remove(rowMessage(*row));
        rows_.erase(rows_.begin() + *row);
    }
    showRowCount();
    clearPaneUnlessListed();
}

void MessageCenterDialog::exportList() {
    PathRequest request;
    request.owner = hwnd();
    request.kind = PathDialog::SaveFile;
    request.title = text(IDS_RECORD_EXPORT_TITLE);
    request.filter = text(IDS_RECORD_EXPORT_FILTER);
    request.defaultExtension = L"txt";
    const std::optional<std::filesystem::path> file = askForPath(request);
    if (!file) return;
    std::string error;
    if (!exportMessageRows(*file, rows_, error)) {
        // Told, rather than opening a file that holds nothing of the export.
        prompt({hwnd(), text(IDS_MSG_EXPORT_FAILED) + file->wstring() + L" " + gbToWide(error),
                text(IDS_PROMPT_CAPTION), PromptIcon::Error});
        return;
    }
    shellOpenChosenFile(*file);
}

void MessageCenterDialog::openLink() {
    if (!currentUrl_.empty()) shellOpen(currentUrl_);
}

}  // namespace tarnix
