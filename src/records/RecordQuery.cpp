#include "records/RecordQuery.h"

#include "records/RecordTime.h"

namespace tarnix {

RecordQuery::RecordQuery(const RecordFolder& folder) : folder_(folder) {}

RecordTable RecordQuery::run(const RecordFilter& filter) const {
    RecordTable table;
    std::vector<RecordItem> items;
    uint32_t number = 0;
    for (const RecordFileEntry& entry : folder_.choose(filter)) {
        RecordFile file{entry.path, gbFileName(entry.path), {}, {}};
        if (!file.read(items)) continue;  // unreadable: it lists nothing
        const uint32_t fileIndex = static_cast<uint32_t>(table.files_.size());
        const size_t rowsBefore = table.rows_.size();
        for (const RecordItem& item : items) {
            const std::string_view end = file.field(item, RecordField::EndTime);
            if (end.empty()) continue;
            const std::string_view start = file.field(item, RecordField::StartTime);
            if (!filter.keeps(file.field(item, RecordField::User), start)) continue;
            const auto seconds = sessionSeconds(start, end);
            table.rows_.push_back(
                {++number, fileIndex, item, seconds.value_or(RecordRow::kNoDuration)});
            table.totals_.add(seconds, file.field(item, RecordField::Send),
                              file.field(item, RecordField::Recv));
        }
        // Only files that gave rows are kept, with the bytes their rows point into.
        if (table.rows_.size() != rowsBefore) table.files_.push_back(std::move(file));
    }
    return table;
}

}  // namespace tarnix
