#include "records/OpenSession.h"

#include <vector>

#include "records/MonthFile.h"
#include "records/RecordFile.h"
#include "records/RecordTime.h"

namespace tarnix {

std::optional<OpenSession> findOpenSession(const std::filesystem::path& folder, const LocalTime& now) {
    LocalTime lastMonth = now;
    lastMonth.day = 1;
    if (--lastMonth.month == 0) {
        lastMonth.month = 12;
        --lastMonth.year;
    }
    for (const LocalTime& month : {now, lastMonth}) {
        RecordFile file(folder / monthFileName(month));
        std::vector<RecordItem> items;
        if (!file.read(items) || items.empty()) continue;
        // The dial side keeps the newest session on top.
        const RecordItem& newest = items.front();
        if (!file.value(newest, RecordField::EndTime).empty()) return std::nullopt;
        auto start = parseRecordTime(file.value(newest, RecordField::StartTime));
        if (!start) return std::nullopt;
        return OpenSession{file.value(newest, RecordField::User), *start};
    }
    return std::nullopt;
}

}  // namespace tarnix
