#pragma once
// A combo box: its list of texts and the selection.

#include <string>
#include <string_view>

#include "widgets/win/Control.h"

namespace tarnix {

class ComboBox : public Control {
  public:
    using Control::Control;

    int add(std::wstring_view text) const {
        return static_cast<int>(send(CB_ADDSTRING, 0, std::wstring(text).c_str()));
    }
    int count() const { return static_cast<int>(send(CB_GETCOUNT)); }
    void clear() const { send(CB_RESETCONTENT); }
    // -1 clears the selection.
    void select(int index) const { send(CB_SETCURSEL, index); }
    int selected() const { return static_cast<int>(send(CB_GETCURSEL)); }
    // The index of the entry that reads exactly `text`, or -1.
    int find(std::wstring_view text) const {
        return static_cast<int>(send(CB_FINDSTRINGEXACT, -1, std::wstring(text).c_str()));
    }
    std::wstring at(int index) const;
    // The selected entry's text; the edit's text for a drop-down without a selection.
    std::wstring selectedText() const { return selected() >= 0 ? at(selected()) : text(); }
    LPARAM data(int index) const { return send(CB_GETITEMDATA, index); }
};

}  // namespace tarnix
