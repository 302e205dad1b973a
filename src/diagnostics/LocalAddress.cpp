#include "diagnostics/LocalAddress.h"

namespace tarnix {

std::optional<std::array<std::uint8_t, 4>> parseDottedAddress(const std::string& text) {
    std::array<std::uint8_t, 4> bytes{};
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != '.') return std::nullopt;
            ++at;
        }
        int value = 0, digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
            value = value * 10 + (text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    if (at != text.size()) return std::nullopt;
    return bytes;
}

}  // namespace tarnix
