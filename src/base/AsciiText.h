#pragma once
// Case folding for protocol and file-format text (schemes, host names, header names,
// section and key names, declarations), which is ASCII whatever the locale: std::tolower
// would follow the C locale and could fold GB2312 bytes too.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnix {

inline char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool isAsciiLetter(char c) {
    const char lower = lowerAscii(c);
    return lower >= 'a' && lower <= 'z';
}

inline std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = lowerAscii(c);
    return lower;
}

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace tarnix
