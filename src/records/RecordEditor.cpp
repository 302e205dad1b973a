#include "records/RecordEditor.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>

#include "TextIds.h"
#include "base/Texts.h"
#include "records/MonthFile.h"
#include "records/RecordItemCursor.h"
#include "records/RecordTime.h"
#include "store/DamagedFile.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

std::string quoted(unsigned head, const std::string& name, unsigned tail,
                   const std::string& reason = {}) {
    std::string message = gbText(head);
    message += name;
    message += gbText(tail);
    message += reason;
    return message;
}

// A file the user or another program marked read-only is refused before anything is
// read, on every system (a rename would otherwise replace it on some).
bool isReadOnly(const fs::path& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    return !ec && fs::exists(status) &&
           (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool isDigits(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Where each row's record is now: its own place when that still holds the row's values,
// otherwise the nearest place that does and is not taken; UINT32_MAX when none does.
std::vector<uint32_t> findRecords(const std::vector<RecordValues>& items,
                                  const std::vector<std::pair<uint32_t, RecordValues>>& wanted) {
    const int64_t count = static_cast<int64_t>(items.size());
    std::vector<bool> taken(items.size(), false);
    auto fits = [&](int64_t i, const RecordValues& values) {
        return i >= 0 && i < count && !taken[i] && items[i] == values;
    };
    std::vector<uint32_t> found;
    for (const auto& [place, values] : wanted) {
        uint32_t at = UINT32_MAX;
        const int64_t p = place;
        for (int64_t d = 0; d <= std::max(p, count - p); ++d) {
            if (fits(p - d, values))
                at = static_cast<uint32_t>(p - d);
            else if (fits(p + d, values))
                at = static_cast<uint32_t>(p + d);
            else
                continue;
            taken[at] = true;
            break;
        }
        found.push_back(at);
    }
    return found;
}

// Removes the records of `rows` (all from one file) and saves the file. Returns a message
// on failure; `removed` receives the rows whose records went.
std::string removeFromFile(const RecordTable& table, const std::vector<size_t>& rows,
                           std::vector<size_t>& removed) {
    const RecordFile& file = table.fileOf(rows.front());
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    if (isReadOnly(file.path())) return quoted(IDS_RECORD_FILE, file.name(), IDS_RECORD_IS_READ_ONLY);

    XmlDocument doc;
    if (!doc.Load(file.path()) && doc.GetDocText().empty()) {
        std::error_code ec;
        if (!fs::exists(file.path(), ec))
            return quoted(IDS_RECORD_FILE, file.name(), IDS_RECORD_GONE);
        return quoted(IDS_RECORD_CANNOT_READ, file.name(), IDS_RECORD_NAME_THEN_REASON,
                      doc.GetResultText());
    }

    std::vector<RecordValues> items;
    for (RecordItemCursor cursor(doc); cursor.next();) {
        RecordValues& v = items.emplace_back();
        for (size_t f = 0; f < kRecordFieldCount; ++f)
            v[f] = cursor.attribute(kRecordFieldNames[f]);
    }
    std::vector<std::pair<uint32_t, RecordValues>> wanted;
    for (size_t row : rows) {
        const RecordItem item = file.itemAt(table.row(row).where);
        RecordValues v;
        for (size_t f = 0; f < kRecordFieldCount; ++f)
            v[f] = file.value(item, static_cast<RecordField>(f));
        wanted.emplace_back(table.row(row).place, std::move(v));
    }
    const std::vector<uint32_t> places = findRecords(items, wanted);

    std::vector<bool> doomed(items.size(), false);
    std::vector<size_t> going;
    for (size_t k = 0; k < rows.size(); ++k) {
        if (places[k] == UINT32_MAX) continue;
        doomed[places[k]] = true;
        going.push_back(rows[k]);
    }
    if (!going.empty()) {
        for (RecordItemCursor cursor(doc); cursor.next();)
            if (cursor.place() < doomed.size() && doomed[cursor.place()]) cursor.remove();
        if (!doc.Save(file.path()))
            return quoted(IDS_RECORD_CANNOT_SAVE, file.name(), IDS_RECORD_NAME_THEN_REASON,
                          doc.GetResultText());
        removed.insert(removed.end(), going.begin(), going.end());
    }
    if (going.size() != rows.size())
        return quoted(IDS_RECORD_FILE, file.name(), IDS_RECORD_GONE);
    return {};
}

}  // namespace

bool ManualSession::isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string ManualSession::addressText(uint32_t packed) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(packed >> 24),
                  static_cast<int>((packed >> 16) & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                  static_cast<int>(packed & 0xFF));
    return text;
}

RecordEditor::RecordEditor(fs::path folder) : folder_(std::move(folder)) {}

RecordChange RecordEditor::remove(RecordTable& table, const std::vector<size_t>& rows) {
    RecordChange change;
    std::map<uint32_t, std::vector<size_t>> byFile;
    for (size_t row : rows)
        if (row < table.size()) byFile[table.row(row).file].push_back(row);
    for (const auto& [file, fileRows] : byFile) {
        std::string message = removeFromFile(table, fileRows, change.removedRows);
        if (change.message.empty()) change.message = std::move(message);
    }
    table.removeRows(change.removedRows);
    return change;
}

RecordChange RecordEditor::add(const ManualSession& session) {
    RecordChange change;
    // A record without a user belongs to no account: no query or total could place it.
    if (ManualSession::isBlank(session.user)) {
        change.message = gbText(IDS_RECORD_NO_USER);
        return change;
    }
    if (calendarSeconds(session.end) < calendarSeconds(session.start)) {
        change.message = gbText(IDS_RECORD_END_BEFORE_START);
        return change;
    }
    if (!isDigits(session.sent) || !isDigits(session.received)) {
        change.message = gbText(IDS_RECORD_BYTES_NOT_NUMERIC);
        return change;
    }

    const fs::path path = folder_ / monthFileName(session.start);
    const std::string name = gbFileName(path);
    std::lock_guard<std::mutex> lock(recordFilesMutex());
    if (isReadOnly(path)) {
        change.message = quoted(IDS_RECORD_FILE, name, IDS_RECORD_IS_READ_ONLY);
        return change;
    }
    XmlDocument doc;
    std::string error;
    MonthFileState state = loadMonthFile(path, doc, &error);
    if (state == MonthFileState::Unreadable) {
        change.message = quoted(IDS_RECORD_CANNOT_READ, name, IDS_RECORD_NAME_THEN_REASON, error);
        return change;
    }
    if (state == MonthFileState::Damaged) {
        // Its bytes survive under the name the dial writer also uses, and its readable
        // records stay listed.
        if (keepDamagedAside(path).empty()) {
            change.message = quoted(IDS_RECORD_CANNOT_MOVE_DAMAGED, name, IDS_RECORD_NAME_END);
            return change;
        }
        state = MonthFileState::Missing;
    }
    writeItem(doc, state,
              {session.user, formatTime(session.start), formatTime(session.end), session.ip,
               normalCause(), session.sent, session.received},
              ItemPlace::AfterLast);
    if (!doc.Save(path))
        change.message =
            quoted(IDS_RECORD_CANNOT_SAVE, name, IDS_RECORD_NAME_THEN_REASON, doc.GetResultText());
    return change;
}

}  // namespace tarnix
