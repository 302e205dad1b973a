#pragma once
// Byte-level scanning shared by the XML parser and the editing operations. All scans
// step over a double-byte character whole (lead byte 0x81-0xFE and the byte after it),
// so a trail byte is never taken for a delimiter.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarnix::xml {

enum ByteClass : uint8_t {
    kLead = 1,        // first byte of a double-byte character
    kLess = 2,        // <
    kGreater = 4,     // >
    kQuote = 8,       // " or '
    kNameEnd = 16,    // ends a tag name: space, tab, CR, LF, / and >
    kSpace = 32,      // space, tab, CR, LF
    kNameStart = 64,  // may start a tag name: ':', '_', letters, bytes from 0x80
    kEquals = 128,    // =
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
        of[static_cast<int>('=')] |= kEquals;
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

// First byte equal to a, b or c at or after `i` (any byte, boundary or not); `n` if none.
inline size_t findRaw(const char* s, size_t i, size_t n, char a, char b, char c) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    while (i + 16 <= n) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)),
                                         _mm_cmpeq_epi8(x, vc));
        if (const int bits = _mm_movemask_epi8(hit))
            return i + static_cast<size_t>(__builtin_ctz(bits));
        i += 16;
    }
#endif
    for (; i < n; ++i)
        if (s[i] == a || s[i] == b || s[i] == c) return i;
    return n;
}

// Whether `pos` starts a character, given that `from` (<= pos) does: a lead byte swallows
// the byte after it, so an odd run of lead-valued bytes right before `pos` means `pos` is
// a trail byte.
inline bool isBoundary(const char* s, size_t from, size_t pos) {
    if (pos == from || !isLead(s[pos - 1])) return true;
    size_t run = 0;
#if defined(__SSE2__)
    // Values of Chinese text end in such runs: measure one 16 bytes at a look (whole
    // looks leave the parity as it is).
    while (pos - run >= 16) {
        const size_t at = pos - run;
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at - 16));
        unsigned lead = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
            _mm_cmpgt_epi8(x, _mm_set1_epi8(-128)), _mm_cmplt_epi8(x, _mm_set1_epi8(-1)))));
        // Bit k stands for the byte at at - 16 + k; the run stops at `from`.
        if (at - from < 16) lead &= 0xFFFFu << (16 - (at - from));
        if (lead != 0xFFFF) return __builtin_clz((~lead & 0xFFFFu) << 16) % 2 == 0;
        run += 16;
    }
#endif
    while (pos - run > from && isLead(s[pos - run - 1])) ++run;
    return run % 2 == 0;
}

// First a, b or c at or after the character boundary `i` that starts a character (so
// stepping over double-byte characters whole); `n` if none. Cheap where most bytes are
// neither a, b nor c, whatever the text's mix of single- and double-byte characters.
inline size_t findAny(const char* s, size_t i, size_t n, char a, char b, char c) {
    size_t from = i;
    for (;;) {
        const size_t q = findRaw(s, i, n, a, b, c);
        if (q >= n || isBoundary(s, from, q)) return q;
        from = i = q + 1;  // q was a trail byte, so the next byte starts a character
    }
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

// The quote that closes a value whose first byte is at `start` (the boundary after the
// opening `quote`), or `end`; `reference` turns true when a '&' on the way needs unescaping.
inline size_t closingQuote(const char* s, size_t start, size_t end, char quote, bool* reference) {
    size_t close = findAny(s, start, end, quote, '&', '&');
    while (close < end && s[close] == '&') {
        *reference = true;
        close = findAny(s, close + 1, end, quote, quote, quote);
    }
    return close;
}

// The next '<' at or after the character boundary `i`, or `n`.
inline size_t scanToLess(const char* s, size_t i, size_t n) {
    return findAny(s, i, n, '<', '<', '<');
}

#if defined(__SSE2__)
// Where a name starting at `i` may end within 16 bytes (s[i, i + 16) must be readable):
// the first blank, control or high byte, '/' or '>' and, for an attribute's name, '=' or
// quote; i + 16 when none. Names are short and mostly ASCII, so one look usually finds the
// end, and the table decides about the bytes this only stops at.
inline size_t nameStopWithin16(const char* s, size_t i, bool attribute) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    auto is = [&](char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x20)), x);
    __m128i hit = _mm_or_si128(_mm_or_si128(low, x), _mm_or_si128(is('/'), is('>')));
    if (attribute) hit = _mm_or_si128(hit, _mm_or_si128(is('='), _mm_or_si128(is('"'), is('\''))));
    const int bits = _mm_movemask_epi8(hit) | 0x10000;
    return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
}
#endif

// End of the tag name that begins at `i`.
inline size_t nameEnd(const char* s, size_t i, size_t n) {
#if defined(__SSE2__)
    if (i + 16 <= n) i = nameStopWithin16(s, i, false);
#endif
    return scanTo(s, i, n, kNameEnd);
}

// Position of the '>' that ends the tag whose name ends at `i`, honouring quoted values;
// `n` when the tag never ends. `selfClosing` tells whether a '/' came right before it.
size_t tagEnd(const char* s, size_t i, size_t n, bool* selfClosing);

// End of the attribute name that begins at `i`, as listAttributes() reads it: up to a
// blank, '=', '/', '>' or a quote.
inline size_t attributeNameEnd(const char* s, size_t i, size_t end) {
#if defined(__SSE2__)
    if (i + 16 <= end) i = nameStopWithin16(s, i, true);
#endif
    return scanTo(s, i, end, kNameEnd | kQuote | kEquals);
}

// Whether the attribute name that begins at `i` ends at `at`: attributeNameEnd() == at,
// without the table when the name is plain ASCII.
inline bool attributeNameEndsAt(const char* s, size_t i, size_t end, size_t at) {
#if defined(__SSE2__)
    if (i + 16 <= end && nameStopWithin16(s, i, true) == at && at < end)
        return classOf(s[at]) & (kNameEnd | kQuote | kEquals);
#endif
    return attributeNameEnd(s, i, end) == at;
}

// Offset of `token` at or after `i`, stepping whole characters; `n` when absent.
size_t find(const char* s, size_t i, size_t n, std::string_view token);

// True when `name` would be read back as exactly this tag or attribute name.
bool isValidName(std::string_view name);

// One attribute of a start tag; offsets count from the tag's '<'.
struct Attribute {
    uint32_t nameStart = 0;
    uint32_t nameEnd = 0;
    uint32_t valueStart = 0;  // the value's first byte (after an opening quote)
    uint32_t valueEnd = 0;
    bool quoted = false;
    bool hasValue = false;  // false for a bare name
    bool hasReference = false;  // a '&' in the value: it needs unescaping
};

// The attributes of the start tag `tag` (from '<' through '>'; `selfClosing` when it
// ends in "/>"), in order. `lastToken` receives the end of the last name or value, where
// a new attribute goes.
void listAttributes(std::string_view tag, bool selfClosing, std::vector<Attribute>& out,
                    size_t* lastToken);

}  // namespace tarnix::xml
