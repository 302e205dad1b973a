#include "records/UserManagementModel.h"

#include <algorithm>

#include "base/DialEntry.h"

namespace tarnix {

UserManagementModel::UserManagementModel(ConfigStore& store) : store_(store) {}

void UserManagementModel::load() {
    std::vector<std::string> names, passwords;
    store_.ListAccounts(kDialEntryName, names, passwords);
    rows_.clear();
    marked_.clear();
    for (size_t i = 0; i < names.size(); ++i)
        rows_.push_back({static_cast<int>(i + 1), std::move(names[i])});
}

bool UserManagementModel::mark(const std::vector<size_t>& rows) {
    std::vector<size_t> chosen;
    for (size_t i : rows)
        if (i < rows_.size()) chosen.push_back(i);
    if (chosen.empty()) return false;
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    for (size_t i : chosen) {
        // The same name twice needs one mark: every account of that name goes.
        if (std::find(marked_.begin(), marked_.end(), rows_[i].name) == marked_.end())
            marked_.push_back(rows_[i].name);
    }
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it)
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*it));
    return true;
}

void UserManagementModel::save() {
    if (!marked_.empty()) store_.RemoveAccounts(kDialEntryName, marked_);
}

}  // namespace tarnix
