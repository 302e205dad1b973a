#pragma once
// One record file as the record pages read it: its bytes and, for every `ITEM`, where its
// seven values lie. Values are not copied out of the file: a query of ten years keeps
// little more than the files themselves.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "records/MonthFile.h"

namespace tarnix {

struct TextSpan {
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct RecordItem {
    uint32_t place = 0;   // position among the file's ITEMs, from 0 (the newest)
    uint32_t where = 0;   // where the file finds it again (see RecordFile::itemAt)
    uint8_t escaped = 0;  // a bit per field whose text still holds entities such as &amp;
    std::array<TextSpan, kRecordFieldCount> fields{};

    static constexpr uint8_t bit(RecordField f) { return uint8_t(1u << static_cast<int>(f)); }
};

class RecordFile {
  public:
    RecordFile() = default;
    explicit RecordFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    const std::string& name() const { return name_; }  // the file name, GB2312

    // Reads the file and lists its ITEMs in order; false when it cannot be read at all.
    //
    // Files as this client writes them (the GB2312 declaration, `record` holding only
    // empty ITEM tags) are read in one pass over the bytes. Anything else goes through the
    // XML engine, which lists whatever of a damaged file it can make out: the ITEMs of
    // `record` and, in a file cut short, those that follow it.
    bool read(std::vector<RecordItem>& items);
    bool readByEngine() const { return engine_; }  // which way it was read (tests)

    // A value as listed, entities replaced.
    std::string value(const RecordItem& item, RecordField f) const;
    // The same without a copy where the file holds the value as it is; `spare` keeps it
    // otherwise.
    std::string_view text(const RecordItem& item, RecordField f, std::string& spare) const;
    // The item read at `where` again (its place is not known here).
    RecordItem itemAt(uint32_t where) const;

  private:
    std::filesystem::path path_;
    std::string name_;
    std::string text_;  // the file's bytes, or the values the engine read
    bool engine_ = false;
    std::vector<RecordItem> engineItems_;
};

// The file name of a path as GB2312 text.
std::string gbFileName(const std::filesystem::path& path);

}  // namespace tarnix
