#pragma once
// Changes to the record files from the query page: deleting listed sessions and adding a
// session by hand. Each change loads one month file, edits it and saves it at once
// (crash-safe), holding the lock that serialises every read-modify-write of a record
// file in the process, so a dial opening or closing a record at the same moment keeps
// its edit. A change that cannot be made leaves every file as it was and says why.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "records/RecordTable.h"

namespace tarnix {

// A session typed into the add-session dialog.
struct ManualSession {
    std::string user;
    std::string ip;  // "%d.%d.%d.%d" of the address control's fields
    LocalTime start;
    LocalTime end;
    std::string sent;      // digits, or empty
    std::string received;  // digits, or empty

    // "192.168.1.20" for the address control's packed value (first field in the top byte).
    static std::string addressText(uint32_t packed);
    // Empty or blanks only: no user at all.
    static bool isBlank(std::string_view text);
};

struct RecordChange {
    // Message for the user (GB2312), empty when all went well.
    std::string message;
    // Deletion: the table rows whose records are gone from their files.
    std::vector<size_t> removedRows;

    bool ok() const { return message.empty(); }
};

class RecordEditor {
  public:
    explicit RecordEditor(std::filesystem::path folder);

    // Deletes the records of the given rows from the files they came from. A record is
    // found at its place when it still holds the row's values, else at the nearest place
    // that does (a dial may have added one above it since the query); one that is no
    // longer there is left alone. The rows removed are taken off `table`.
    RecordChange remove(RecordTable& table, const std::vector<size_t>& rows);

    // Appends a finished session to the file of the month it started in ("正常断开"),
    // creating the file when there is none. The end may not come before the start, and the
    // byte counts must be digits.
    RecordChange add(const ManualSession& session);

  private:
    std::filesystem::path folder_;
};

}  // namespace tarnix
