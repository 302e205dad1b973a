#include "dial/lab/LabFields.h"

namespace tarnix::lab {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string encodeField(const std::string& raw) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : raw) {
        if (c > ' ' && c < 0x7F && c != '%') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    // An empty field would vanish between two separators.
    return out.empty() ? "%00" : out;
}

bool decodeField(const std::string& field, std::string& raw) {
    raw.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            raw += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return false;
        int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
        if (high < 0 || low < 0) return false;
        raw += static_cast<char>(high * 16 + low);
        i += 2;
    }
    // "%00" alone is the empty field; names and passwords never hold a NUL byte.
    if (raw == std::string(1, '\0')) raw.clear();
    return true;
}

}  // namespace tarnix::lab
