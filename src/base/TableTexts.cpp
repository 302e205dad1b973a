#include "base/TableTexts.h"

#include <algorithm>

namespace tarnix {
namespace {

class TableTexts final : public Texts {
  public:
    std::wstring_view find(unsigned id) const override {
        const TextEntry* end = kTextTable + kTextTableSize;
        const TextEntry* entry = std::lower_bound(
            kTextTable, end, id, [](const TextEntry& e, unsigned wanted) { return e.id < wanted; });
        return entry != end && entry->id == id ? std::wstring_view(entry->text)
                                               : std::wstring_view();
    }
};

}  // namespace

const Texts& tableTexts() {
    static const TableTexts texts;
    return texts;
}

}  // namespace tarnix
