#pragma once
// The month files as the client writes them: one XML file a month in data\record beside
// the program, "<year>-<month>.xml", root `record`, one `ITEM` per session:
//
//   <ITEM user="..." start_time="..." end_time="..." ip="..." error_code="..." send="..." recv="..."/>
//
// The dial side opens and closes its sessions' records here and the query page adds and
// deletes them; the record pages read the same files (RecordFile), so their layout is
// kept exactly.

#include <array>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "base/Clock.h"
#include "store/XmlDocument.h"

namespace tarnix {

// "正常断开" and "非法断开", the causes a closing writes into `error_code` (GB2312).
std::string normalCause();
std::string abnormalCause();

// "2009-03.xml" for March 2009.
std::string monthFileName(const LocalTime& time);
// <program folder>\data\record
std::filesystem::path recordFolderBeside(const std::filesystem::path& programFolder);

// Serialises every read-modify-write of a record file in the process: the dial worker,
// the drop monitor and the user-interface thread would otherwise lose each other's edits.
std::mutex& recordFilesMutex();

// The seven attributes of an `ITEM`, in the order the files write them.
enum class RecordField { User, StartTime, EndTime, Ip, ErrorCode, Send, Recv };
inline constexpr size_t kRecordFieldCount = 7;
inline constexpr std::string_view kRecordFieldNames[kRecordFieldCount] = {
    "user", "start_time", "end_time", "ip", "error_code", "send", "recv"};

// An ITEM's seven values, in that order.
using RecordValues = std::array<std::string, kRecordFieldCount>;

enum class MonthFileState { Missing, Usable, Damaged, Unreadable };

// Loads a month file into `doc` with the cursor on its `record` root. An empty file counts
// as missing (nothing in it to keep); for one that cannot be read, `error` (when given)
// receives the system's reason.
MonthFileState loadMonthFile(const std::filesystem::path& path, XmlDocument& doc,
                             std::string* error = nullptr);

// Where a new ITEM goes among those of a usable file: the dial side keeps the newest
// session on top, a session typed by hand goes after the last.
enum class ItemPlace { First, AfterLast };

// Writes `values` as a new ITEM into `doc` as loadMonthFile left it: Usable, or else (a
// missing file, or a damaged one set aside) a new file holding only this ITEM.
void writeItem(XmlDocument& doc, MonthFileState state, const RecordValues& values,
               ItemPlace place);

}  // namespace tarnix
