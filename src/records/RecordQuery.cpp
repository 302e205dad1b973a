#include "records/RecordQuery.h"

#include <algorithm>

#include "records/RecordTime.h"

namespace tarnix {

RecordQuery::RecordQuery(const RecordFolder& folder) : folder_(folder) {}

RecordTable RecordQuery::run(const RecordFilter& filter) const {
    RecordTable table;
    const std::vector<RecordFileEntry> chosen = folder_.choose(filter);
    // Room for the rows at once: a record takes some 160 bytes of its file.
    uintmax_t bytes = 0;
    for (const RecordFileEntry& entry : chosen) bytes += entry.size;
    table.rows_.reserve(static_cast<size_t>(std::min<uintmax_t>(bytes / 160, 1u << 24)));

    const bool keepsAll = RecordFilter::isAll(filter.account) && RecordFilter::isAll(filter.day);
    std::vector<RecordItem> items;
    std::string user, start, end, sent, received;  // for values with entities only
    uint32_t number = 0;
    for (const RecordFileEntry& entry : chosen) {
        RecordFile file(entry.path);
        if (!file.read(items)) continue;  // unreadable: it lists nothing
        const uint32_t fileIndex = static_cast<uint32_t>(table.files_.size());
        const size_t rowsBefore = table.rows_.size();
        for (const RecordItem& item : items) {
            const std::string_view endTime = file.text(item, RecordField::EndTime, end);
            if (endTime.empty()) continue;  // still open
            const std::string_view startTime = file.text(item, RecordField::StartTime, start);
            if (!keepsAll && !filter.keeps(file.text(item, RecordField::User, user), startTime))
                continue;
            table.rows_.push_back({++number, fileIndex, item.place, item.where});
            table.totals_.add(sessionSeconds(startTime, endTime),
                              file.text(item, RecordField::Send, sent),
                              file.text(item, RecordField::Recv, received));
        }
        // Only files that gave rows are kept, with the bytes their rows point into.
        if (table.rows_.size() != rowsBefore) table.files_.push_back(std::move(file));
    }
    return table;
}

}  // namespace tarnix
