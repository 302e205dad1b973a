#pragma once
// A rich edit control (class "RICHEDIT50W" of Msftedit.dll, which must be loaded before
// the dialog that holds one is made: loadRichEdit()).

#include <windows.h>

#include <richedit.h>

#include <string_view>

#include "widgets/win/Control.h"

namespace tarnix {

class RichEdit : public Control {
  public:
    using Control::Control;

    // Loads the control's library once; false when it is missing.
    static bool loadRichEdit();

    // Adds `text` at the end, bold or not.
    void append(std::wstring_view text, bool bold = false) const;
    void clear() const { setText(L""); }
};

}  // namespace tarnix
