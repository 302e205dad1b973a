#include "update/UpdateVersion.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace tarnix {
namespace {

// Longer text is no release number; it also keeps strtod within finite values.
constexpr std::size_t kMaxVersionLength = 32;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parseVersion(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty() || text.size() > kMaxVersionLength) return std::nullopt;
    int points = 0;
    for (char c : text) {
        if (c == '.') {
            ++points;
        } else if (!isDigit(c)) {
            return std::nullopt;
        }
    }
    if (points > 1 || !isDigit(text.front()) || !isDigit(text.back())) return std::nullopt;
    // The text is plain ASCII decimal; strtod reads it the same in every locale that uses
    // "." (the program sets no other).
    double value = std::strtod(std::string(text).c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

bool isNewerVersion(std::string_view available, std::string_view installed) {
    std::optional<double> a = parseVersion(available), i = parseVersion(installed);
    return a && i && *a > *i;
}

}  // namespace tarnix
