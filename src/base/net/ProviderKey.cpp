#include "base/net/ProviderKey.h"

#include "base/net/Signature.h"

namespace tarnix {

// The lab's demo key (its private half is tools/lab-provider/lab-demo-key.pem, which signs
// the lab provider's files; it is published and never protects a real installation).
const std::string_view kBuiltInProviderKey =
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEHOtffk5hduKuYup98vrJwIjsDK69HVwCjEOuyyMhOXwJh4PeI9U1"
    "cmzSaTmkpUg+34UjIMfaMw9G3oqxRK+UJw==";

namespace {

int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::optional<std::string> decodeBase64(std::string_view text) {
    if (text.empty() || text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && text[text.size() - 1 - padding] == '=') ++padding;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    unsigned value = 0;
    for (std::size_t i = 0; i < text.size() - padding; ++i) {
        int six = sextet(text[i]);
        if (six < 0) return std::nullopt;
        value = (value << 6) | unsigned(six);
        if (i % 4 == 3) {
            bytes += char(value >> 16);
            bytes += char(value >> 8);
            bytes += char(value);
            value = 0;
        }
    }
    // The last group: 2 or 3 characters whose unused low bits are zero.
    if (padding == 2) {
        if (value & 0xF) return std::nullopt;
        bytes += char(value >> 4);
    } else if (padding == 1) {
        if (value & 0x3) return std::nullopt;
        bytes += char(value >> 10);
        bytes += char(value >> 2);
    }
    return bytes;
}

std::string readProviderKey(Profile& profile, const std::filesystem::path& folder) {
    // A value no base64 text can be tells a missing key from an empty one.
    static const std::string kMissing = "*";
    std::string text = profile.readString(folder / "Provider.ini", "Update", "PublicKey", kMissing);
    if (text == kMissing) text = std::string(kBuiltInProviderKey);
    std::optional<std::string> der = decodeBase64(text);
    if (!der || !isProviderKey(*der)) return {};
    return *der;
}

}  // namespace tarnix
