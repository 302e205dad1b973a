#include "records/RecordFolder.h"

#include <algorithm>
#include <unordered_set>

#include "base/AsciiText.h"
#include "records/RecordFile.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

// The position of ".xml" that ends the name or starts ".damaged", case-insensitively;
// npos for any other name.
size_t recordSuffix(const std::string& name) {
    for (size_t at = name.size(); at-- > 0;) {
        if (name[at] != '.') continue;
        const std::string rest = lowerAscii(std::string_view(name).substr(at));
        if (rest == ".xml") return at;
        if (rest.rfind(".xml.damaged", 0) == 0) {
            const std::string tail = rest.substr(12);
            const bool numbered = tail.size() > 1 && tail[0] == '-' &&
                                  std::all_of(tail.begin() + 1, tail.end(),
                                              [](char c) { return c >= '0' && c <= '9'; });
            if (tail.empty() || numbered) return at;
        }
    }
    return std::string::npos;
}

}  // namespace

RecordFolder::RecordFolder(fs::path folder) : folder_(std::move(folder)) {}

void RecordFolder::create() const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
}

std::vector<RecordFileEntry> RecordFolder::files() const {
    std::vector<RecordFileEntry> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = gbFileName(it->path());
        const size_t suffix = recordSuffix(name);
        if (suffix == std::string::npos) continue;
        std::error_code sizeError;
        const uintmax_t size = it->file_size(sizeError);
        out.push_back({it->path(), name.substr(0, suffix), sizeError ? 0 : size});
    }
    std::sort(out.begin(), out.end(), [](const RecordFileEntry& a, const RecordFileEntry& b) {
        return a.path.filename() < b.path.filename();
    });
    return out;
}

std::vector<RecordFileEntry> RecordFolder::choose(const RecordFilter& filter) const {
    std::vector<RecordFileEntry> out = files();
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](const RecordFileEntry& e) { return !filter.choosesFile(e.stem); }),
              out.end());
    return out;
}

std::vector<std::string> RecordFolder::accountNames() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    std::vector<RecordItem> items;
    std::string spare;
    for (const RecordFileEntry& entry : files()) {
        RecordFile file(entry.path);
        if (!file.read(items)) continue;
        for (const RecordItem& item : items) {
            const std::string_view user = file.text(item, RecordField::User, spare);
            if (seen.insert(std::string(user)).second) names.emplace_back(user);
        }
    }
    return names;
}

std::vector<std::string> RecordFolder::yearChoices(int currentYear) const {
    std::vector<std::string> stems;
    for (const RecordFileEntry& entry : files()) stems.push_back(entry.stem);
    return tarnix::yearChoices(currentYear, stems);
}

}  // namespace tarnix
