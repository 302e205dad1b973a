#pragma once
// Walks the ITEMs of a record file loaded into an XmlDocument, in file order: the
// children of the root `record` and then, in a file cut short (where the engine closes
// `record` at its start tag and lets its content follow it), the ITEMs after it. The
// query and the changes count places the same way, so a row finds its ITEM again.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/XmlDocument.h"

namespace tarnix {

class RecordItemCursor {
  public:
    explicit RecordItemCursor(XmlDocument& doc);

    // Moves to the next ITEM; false after the last.
    bool next();
    // The ITEM's place among all the file's ITEMs as they were when the walk began.
    uint32_t place() const { return place_; }
    std::string attribute(std::string_view name) const;
    // Removes the ITEM; next() goes on with the one after it.
    void remove();

  private:
    enum class Phase { Start, Children, Following, Done };
    XmlDocument& doc_;
    Phase phase_ = Phase::Start;
    uint32_t place_ = UINT32_MAX;
};

}  // namespace tarnix
