#pragma once
// One record file as the record pages read it: its bytes and, for every `ITEM`, where
// its seven values lie. Values are not copied: a span points into the file's bytes, or
// into a side buffer for the few values that needed unescaping.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

// The seven attributes of an `ITEM`, in the order the files write them.
enum class RecordField { User, StartTime, EndTime, Ip, ErrorCode, Send, Recv };
inline constexpr size_t kRecordFieldCount = 7;
inline constexpr std::string_view kRecordFieldNames[kRecordFieldCount] = {
    "user", "start_time", "end_time", "ip", "error_code", "send", "recv"};

struct TextSpan {
    static constexpr uint32_t kSideBuffer = 1u << 31;  // set in `offset`: in `values`
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct RecordItem {
    uint32_t place = 0;  // position among the file's ITEMs, from 0 (the newest)
    std::array<TextSpan, kRecordFieldCount> fields{};
};

struct RecordFile {
    std::filesystem::path path;
    std::string name;    // the file name, GB2312, for messages
    std::string bytes;   // the file as read (empty when the XML engine read it)
    std::string values;  // values that had to be unescaped or came from the XML engine

    std::string_view text(TextSpan span) const {
        const std::string& from = (span.offset & TextSpan::kSideBuffer) ? values : bytes;
        return std::string_view(from).substr(span.offset & ~TextSpan::kSideBuffer, span.length);
    }
    std::string_view field(const RecordItem& item, RecordField f) const {
        return text(item.fields[static_cast<size_t>(f)]);
    }

    // Reads the file and lists its ITEMs in order; false when it cannot be read at all.
    //
    // Files as this client writes them (the GB2312 declaration, `record` holding only
    // empty ITEM tags) are read in one pass over the bytes. Anything else goes through
    // the XML engine, which lists whatever of a damaged file it can make out: the ITEMs
    // of `record` and, in a file cut short, those that follow it.
    bool read(std::vector<RecordItem>& items);
};

// The file name of a path as GB2312 text.
std::string gbFileName(const std::filesystem::path& path);

}  // namespace tarnix
