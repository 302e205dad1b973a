#include "base/win/ResourceTexts.h"

namespace tarnix {

std::wstring_view ResourceTexts::find(unsigned id) const {
    // With a zero buffer size LoadStringW hands out a read-only pointer into the resource
    // itself (not terminated) and the text's length; the resource lives as long as the
    // module, so nothing is copied here.
    const wchar_t* text = nullptr;
    const int n = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring_view(text, static_cast<std::size_t>(n))
                         : std::wstring_view();
}

}  // namespace tarnix
