#include "records/RecordFilter.h"

#include <cstdio>
#include <set>

namespace tarnix {
namespace {

constexpr int kFirstYear = 2009;

std::vector<std::string> numbered(int first, int last) {
    std::vector<std::string> out{gbText(IDS_RECORD_ALL)};
    for (int n = first; n <= last; ++n) {
        char text[16];
        std::snprintf(text, sizeof text, "%.2d", n);
        out.push_back(text);
    }
    return out;
}

}  // namespace

bool RecordFilter::isAll(std::string_view value) {
    // Asked for every record a query reads: the text is made once.
    static const std::string all = gbText(IDS_RECORD_ALL);
    return value == all;
}

bool RecordFilter::choosesFile(std::string_view stem) const {
    const bool anyYear = isAll(year), anyMonth = isAll(month);
    if (!anyYear && !anyMonth) return stem == year + "-" + month;
    if (!anyYear) return stem.substr(0, year.size()) == year;
    if (!anyMonth)
        return stem.size() >= month.size() && stem.substr(stem.size() - month.size()) == month;
    return true;
}

bool RecordFilter::keeps(std::string_view user, std::string_view startTime) const {
    if (!isAll(account) && user != account) return false;
    if (!isAll(day) && (startTime.size() < 10 || startTime.substr(8, 2) != day)) return false;
    return true;
}

std::vector<std::string> monthChoices() {
    return numbered(1, 12);
}
std::vector<std::string> dayChoices() {
    return numbered(1, 31);
}

std::vector<std::string> yearChoices(int currentYear, const std::vector<std::string>& stems) {
    std::set<int> years;
    for (int y = kFirstYear; y <= currentYear; ++y) years.insert(y);
    for (const std::string& stem : stems) {
        if (stem.size() < 4) continue;
        int y = 0;
        bool digits = true;
        for (int i = 0; i < 4; ++i) {
            digits = digits && stem[i] >= '0' && stem[i] <= '9';
            y = y * 10 + (stem[i] - '0');
        }
        // Only the four digits of a year, as the year filter compares four characters.
        if (digits && (stem.size() == 4 || stem[4] < '0' || stem[4] > '9') && y > currentYear)
            years.insert(y);
    }
    std::vector<std::string> out{gbText(IDS_RECORD_ALL)};
    for (int y : years) out.push_back(std::to_string(y));
    return out;
}

}  // namespace tarnix
