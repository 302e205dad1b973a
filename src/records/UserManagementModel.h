#pragma once
// The user management page's list: the accounts saved under the dial entry in
// config.xml, marks for removal, and the removal itself through the configuration store.
// Marks live only here until save(); closing the page without it changes nothing.

#include <cstddef>
#include <string>
#include <vector>

#include "store/ConfigStore.h"

namespace tarnix {

struct AccountRow {
    int number = 0;  // shown in the first column; kept when other rows go
    std::string name;
};

class UserManagementModel {
  public:
    explicit UserManagementModel(ConfigStore& store);

    // Fills the list from the store, numbered from 1 in file order.
    void load();
    const std::vector<AccountRow>& rows() const { return rows_; }

    // Marks the accounts of the given rows and takes the rows off the list. False (and
    // nothing marked) when no row is given: the page then asks for a selection.
    bool mark(const std::vector<size_t>& rows);
    // Whether there are marks to save.
    bool canSave() const { return !marked_.empty(); }
    const std::vector<std::string>& marked() const { return marked_; }

    // Removes every saved account of a marked name, and the last-used account when it is
    // one of them; the store saves config.xml. The marks stay, so saving again is harmless.
    void save();

  private:
    ConfigStore& store_;
    std::vector<AccountRow> rows_;
    std::vector<std::string> marked_;
};

}  // namespace tarnix
