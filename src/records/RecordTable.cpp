#include "records/RecordTable.h"

#include <algorithm>

#include "records/RecordTime.h"

namespace tarnix {

std::string RecordTable::field(size_t row, RecordField f) const {
    const RecordFile& file = fileOf(row);
    return file.value(file.itemAt(rows_[row].where), f);
}

std::optional<int64_t> RecordTable::seconds(size_t row) const {
    const RecordFile& file = fileOf(row);
    const RecordItem item = file.itemAt(rows_[row].where);
    return sessionSeconds(file.value(item, RecordField::StartTime),
                          file.value(item, RecordField::EndTime));
}

std::string RecordTable::cell(size_t row, int column) const {
    switch (column) {
        case kNumberColumn:
            return std::to_string(rows_[row].number);
        case kUserColumn:
            return field(row, RecordField::User);
        case kStartColumn:
            return field(row, RecordField::StartTime);
        case kDurationColumn: {
            const auto s = seconds(row);
            return s ? durationText(*s) : std::string();
        }
        case kIpColumn:
            return field(row, RecordField::Ip);
        case kCauseColumn:
            return field(row, RecordField::ErrorCode);
        case kSentColumn:
            return field(row, RecordField::Send);
        case kReceivedColumn:
            return field(row, RecordField::Recv);
        default:
            return {};
    }
}

void RecordTable::removeRows(std::vector<size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.empty() && rows.back() >= rows_.size()) rows.pop_back();
    // The places of the deleted records, per file, to move later records of it up.
    std::vector<std::vector<uint32_t>> removedPlaces(files_.size());
    for (size_t i : rows) removedPlaces[rows_[i].file].push_back(rows_[i].place);
    for (auto& places : removedPlaces) std::sort(places.begin(), places.end());

    size_t out = 0, next = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            continue;
        }
        RecordRow r = rows_[i];
        const auto& places = removedPlaces[r.file];
        r.place -= static_cast<uint32_t>(std::lower_bound(places.begin(), places.end(), r.place) -
                                         places.begin());
        rows_[out++] = r;
    }
    rows_.resize(out);
}

}  // namespace tarnix
