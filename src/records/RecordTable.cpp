#include "records/RecordTable.h"

#include <algorithm>

#include "records/RecordTime.h"

namespace tarnix {

std::string_view RecordTable::field(size_t row, RecordField f) const {
    const RecordRow& r = rows_[row];
    return files_[r.file].field(r.item, f);
}

std::string RecordTable::cell(size_t row, int column) const {
    const RecordRow& r = rows_[row];
    switch (column) {
        case kNumberColumn:
            return std::to_string(r.number);
        case kUserColumn:
            return std::string(field(row, RecordField::User));
        case kStartColumn:
            return std::string(field(row, RecordField::StartTime));
        case kDurationColumn:
            return r.seconds == RecordRow::kNoDuration ? std::string() : durationText(r.seconds);
        case kIpColumn:
            return std::string(field(row, RecordField::Ip));
        case kCauseColumn:
            return std::string(field(row, RecordField::ErrorCode));
        case kSentColumn:
            return std::string(field(row, RecordField::Send));
        case kReceivedColumn:
            return std::string(field(row, RecordField::Recv));
        default:
            return {};
    }
}

void RecordTable::removeRows(std::vector<size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<bool> gone(rows_.size(), false);
    for (size_t i : rows)
        if (i < rows_.size()) gone[i] = true;
    // The places of the deleted records, per file, to move later records of it up.
    std::vector<std::vector<uint32_t>> removedPlaces(files_.size());
    for (size_t i : rows)
        if (i < rows_.size()) removedPlaces[rows_[i].file].push_back(rows_[i].item.place);
    for (auto& places : removedPlaces) std::sort(places.begin(), places.end());

    size_t out = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (gone[i]) continue;
        RecordRow r = rows_[i];
        const auto& places = removedPlaces[r.file];
        r.item.place -= static_cast<uint32_t>(
            std::lower_bound(places.begin(), places.end(), r.item.place) - places.begin());
        rows_[out++] = r;
    }
    rows_.resize(out);
}

}  // namespace tarnix
