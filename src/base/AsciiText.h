#pragma once
// Case folding for protocol text (schemes, host names, header names), which is ASCII
// whatever the locale: std::tolower would follow the C locale and fold GB2312 bytes too.

#include <string>
#include <string_view>

namespace tarnix {

inline std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return lower;
}

}  // namespace tarnix
