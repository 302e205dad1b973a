#pragma once
// The sessions a query lists: one row per finished session, in the order of the files and
// of the records within them, with the totals of the summary line. A row knows the file
// it came from and its place there, so a deletion removes exactly that record.
//
// A row is 16 bytes: its values stay in the file's bytes and are read again when the
// list shows a cell, so a table of 200,000 rows costs little more than the files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/RecordFile.h"
#include "records/SessionTotals.h"

namespace tarnix {

// The eight columns of the list, in order.
enum RecordColumn {
    kNumberColumn,    // 序号
    kUserColumn,      // 用户名
    kStartColumn,     // 开始时间
    kDurationColumn,  // 持续时间
    kIpColumn,        // IP地址
    kCauseColumn,     // 断线原因
    kSentColumn,      // 发送
    kReceivedColumn,  // 接收
    kRecordColumnCount
};

struct RecordRow {
    uint32_t number = 0;  // shown in the first column; kept when other rows go
    uint32_t file = 0;    // index of the file in the table
    uint32_t place = 0;   // the record's place among the ITEMs of its file
    uint32_t where = 0;   // where the file finds the record (RecordFile::itemAt)
};

class RecordTable {
  public:
    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const RecordRow& row(size_t i) const { return rows_[i]; }
    const RecordFile& fileOf(size_t row) const { return files_[rows_[row].file]; }

    // A value of the row's record, as listed.
    std::string field(size_t row, RecordField f) const;
    // The session's length; none when its times do not make one.
    std::optional<int64_t> seconds(size_t row) const;
    // A cell's text as the list shows it and the export writes it (GB2312).
    std::string cell(size_t row, int column) const;

    // The totals of the query, kept when rows are deleted until the next query.
    const SessionTotals& totals() const { return totals_; }
    std::string summaryLine() const { return totals_.summaryLine(); }

    // Takes deleted rows off the list (indexes in any order); the other rows keep their
    // numbers, and those after a deleted record in its file move up a place.
    void removeRows(std::vector<size_t> rows);

  private:
    friend class RecordQuery;
    std::vector<RecordFile> files_;
    std::vector<RecordRow> rows_;
    SessionTotals totals_;
};

}  // namespace tarnix
