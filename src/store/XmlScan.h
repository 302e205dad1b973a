#pragma once
// Byte-level scanning shared by the XML parser and the editing operations. All scans
// step over a double-byte character whole (lead byte 0x81-0xFE and the byte after it),
// so a trail byte is never taken for a delimiter.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnix::xml {

enum ByteClass : uint8_t {
    kLead = 1,        // first byte of a double-byte character
    kLess = 2,        // <
    kGreater = 4,     // >
    kQuote = 8,       // " or '
    kNameEnd = 16,    // ends a tag name: space, tab, CR, LF, / and >
    kSpace = 32,      // space, tab, CR, LF
    kNameStart = 64,  // may start a tag name: ':', '_', letters, bytes from 0x80
};

struct ByteClasses {
    uint8_t of[256];
    constexpr ByteClasses() : of() {
        for (int c = 0x81; c <= 0xFE; ++c) of[c] |= kLead;
        for (int c = 0x80; c <= 0xFF; ++c) of[c] |= kNameStart;
        for (int c = 'A'; c <= 'Z'; ++c) of[c] |= kNameStart;
        for (int c = 'a'; c <= 'z'; ++c) of[c] |= kNameStart;
        of[static_cast<int>(':')] |= kNameStart;
        of[static_cast<int>('_')] |= kNameStart;
        of[static_cast<int>('<')] |= kLess;
        of[static_cast<int>('>')] |= kGreater | kNameEnd;
        of[static_cast<int>('/')] |= kNameEnd;
        of[static_cast<int>('"')] |= kQuote;
        of[static_cast<int>('\'')] |= kQuote;
        for (char c : {' ', '\t', '\n', '\r'}) of[static_cast<int>(c)] |= kSpace | kNameEnd;
    }
};
inline constexpr ByteClasses kClasses{};

inline uint8_t classOf(char c) {
    return kClasses.of[static_cast<unsigned char>(c)];
}
inline bool isLead(char c) {
    return classOf(c) & kLead;
}
inline bool isSpace(char c) {
    return classOf(c) & kSpace;
}

// Index of the first byte at or after `i` (on a character boundary) whose class is in
// `stop`, or `n`. Lead bytes are stepped over together with their trail byte.
inline size_t scanTo(const char* s, size_t i, size_t n, uint8_t stop) {
    while (i < n) {
        uint8_t k = classOf(s[i]);
        if (k & stop) return i;
        i += (k & kLead) ? 2 : 1;
    }
    return n;
}

// End of the tag name that begins at `i`.
inline size_t nameEnd(const char* s, size_t i, size_t n) {
    return scanTo(s, i, n, kNameEnd);
}

// Position of the '>' that ends the tag whose name ends at `i`, honouring quoted values;
// `n` when the tag never ends. `selfClosing` tells whether a '/' came right before it.
size_t tagEnd(const char* s, size_t i, size_t n, bool* selfClosing);

// Offset of `token` at or after `i`, stepping whole characters; `n` when absent.
size_t find(const char* s, size_t i, size_t n, std::string_view token);

// True when `name` would be read back as exactly this tag or attribute name.
bool isValidName(std::string_view name);

// One attribute found in a start tag.
struct Attribute {
    bool found = false;
    size_t valueStart = 0;  // the value's first byte (after an opening quote)
    size_t valueEnd = 0;
    bool quoted = false;
    bool hasValue = false;  // false for a bare name
    size_t nameEnd = 0;
};

// Looks for `name` in the start tag `tag` (from '<' through '>'; `selfClosing` when it
// ends in "/>"). `lastToken` receives the end of the last name or value in the tag,
// where a new attribute goes.
Attribute findAttribute(std::string_view tag, bool selfClosing, std::string_view name,
                        size_t* lastToken);

}  // namespace tarnix::xml
