#pragma once
// The four filters of the record query: account, year, month and day, each a text of the
// drop-down lists or "所有" for every value.

#include <string>
#include <string_view>
#include <vector>

#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {

struct RecordFilter {
    std::string account{gbText(IDS_RECORD_ALL)};
    std::string year{gbText(IDS_RECORD_ALL)};   // "2009"
    std::string month{gbText(IDS_RECORD_ALL)};  // "01" to "12"
    std::string day{gbText(IDS_RECORD_ALL)};    // "01" to "31"

    static bool isAll(std::string_view value);
    bool operator==(const RecordFilter&) const = default;

    // Whether a record file is read, by its name without ".xml" ("2009-06"): with year and
    // month the one file of that month, with a year alone every name that starts with it,
    // with a month alone every name that ends with it, otherwise every file.
    bool choosesFile(std::string_view stem) const;
    // Whether a finished session is listed: its account, and the day of month at
    // positions 9 and 10 of its start time (so a session over midnight counts for the day
    // it began). Exact comparisons of the texts.
    bool keeps(std::string_view user, std::string_view startTime) const;
};

// The entries of the drop-down lists, "所有" first.
std::vector<std::string> monthChoices();  // "01" to "12"
std::vector<std::string> dayChoices();    // "01" to "31"
// "2009" through the current year, and any later year named by a record file's stem.
std::vector<std::string> yearChoices(int currentYear, const std::vector<std::string>& stems);

}  // namespace tarnix
