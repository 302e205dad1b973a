#include "widgets/win/RichEdit.h"

#include <string>

namespace tarnix {

bool RichEdit::loadRichEdit() {
    // Kept for the life of the process: every later dialog may hold the control.
    static HMODULE library = LoadLibraryW(L"Msftedit.dll");
    return library != nullptr;
}

void RichEdit::append(std::wstring_view text, bool bold) const {
    int end = GetWindowTextLengthW(hwnd());
    send(EM_SETSEL, end, end);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_BOLD;
    format.dwEffects = bold ? CFE_BOLD : 0;
    send(EM_SETCHARFORMAT, SCF_SELECTION, &format);
    send(EM_REPLACESEL, FALSE, std::wstring(text).c_str());
}

}  // namespace tarnix
