#include "widgets/win/Strings.h"

namespace tarnix {

std::wstring loadString(UINT id) {
    // With a zero length LoadStringW hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

}  // namespace tarnix
