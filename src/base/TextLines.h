#pragma once
// The lines of a text file, whichever of LF or CR LF ends them.

#include <cstddef>
#include <string_view>

namespace tarnix {

// Calls `line(text)` for each line, without its line break; a last line without one counts.
template <class Visit>
void forEachLine(std::string_view text, Visit&& line) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view one = text.substr(start, end - start);
        if (!one.empty() && one.back() == '\r') one.remove_suffix(1);
        line(one);
        start = end + 1;
    }
}

}  // namespace tarnix
