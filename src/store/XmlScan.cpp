// Scanning, escaping and unescaping of GB2312 XML text.
#include "store/XmlScan.h"

#include <algorithm>
#include <cstring>

#include "base/CodePage.h"
#include "store/XmlDocument.h"

namespace tarnix::xml {

// One pass over the tag: every '>' and quote of a block of 64 bytes is found at once, and
// a small state machine (inside a quoted value or not) takes them in order. Each byte
// after one of them starts a character, so the boundary checks never look back further.
size_t tagEnd(const char* s, size_t i, size_t n, bool* selfClosing) {
    const size_t nameEnd = i;
    size_t from = i;  // starts a character; at or before every byte still to be taken
    char quote = 0;   // the quote of the value being read, if any
    auto ends = [&](size_t q) {
        const char c = s[q];
        const bool boundary = isBoundary(s, from, q);
        from = q + 1;
        if (!boundary) return false;
        if (quote) {
            if (c == quote) quote = 0;
            return false;
        }
        if (c == '>') {
            // "/>" when a '/' of its own comes right before, after the name.
            *selfClosing = q > nameEnd && s[q - 1] == '/' && isBoundary(s, nameEnd, q - 1);
            return true;
        }
        quote = c;
        return false;
    };
#if defined(__SSE2__)
    const __m128i greater = _mm_set1_epi8('>'), dq = _mm_set1_epi8('"'), sq = _mm_set1_epi8('\'');
    for (; i + 64 <= n; i += 64) {
        uint64_t mask = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 16 * k));
            const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(x, greater),
                                             _mm_or_si128(_mm_cmpeq_epi8(x, dq), _mm_cmpeq_epi8(x, sq)));
            mask |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(hit))) << (16 * k);
        }
        for (; mask; mask &= mask - 1) {
            const size_t q = i + static_cast<size_t>(__builtin_ctzll(mask));
            if (ends(q)) return q;
        }
    }
#endif
    for (; i < n; ++i)
        if ((s[i] == '>' || s[i] == '"' || s[i] == '\'') && ends(i)) return i;
    return n;
}

size_t find(const char* s, size_t i, size_t n, std::string_view token) {
    const char first = token[0];
    for (;;) {
        i = findAny(s, i, n, first, first, first);
        if (i >= n ||
            (n - i >= token.size() && std::memcmp(s + i, token.data(), token.size()) == 0))
            return i < n ? i : n;
        ++i;  // `first` is a single-byte character: the next byte starts one too
    }
}

bool isValidName(std::string_view name) {
    if (name.empty() || !(classOf(name[0]) & kNameStart)) return false;
    size_t i = 0;
    while (i < name.size()) {
        char c = name[i];
        if ((classOf(c) & (kNameEnd | kLess | kQuote)) || c == '=' || c == '&') return false;
        i += isLead(c) ? 2 : 1;
    }
    return i == name.size();  // a lone lead byte at the end would swallow the delimiter
}

namespace {

size_t skipSpaces(const char* s, size_t i, size_t end) {
    while (i < end && isSpace(s[i])) ++i;
    return i;
}

size_t skipQuoted(const char* s, size_t i, size_t end) {
    const char quote = s[i];
    return findAny(s, i + 1, end, quote, quote, quote);  // the closing quote, or `end`
}

// An unquoted value runs up to a space, '>' or a quote.
size_t scanWord(const char* s, size_t i, size_t end, bool name) {
    return name ? attributeNameEnd(s, i, end) : scanTo(s, i, end, kSpace | kGreater | kQuote);
}

// The end of the attributes of the start tag `tag`: its '>' or "/>".
size_t attributesEnd(std::string_view tag, bool selfClosing) {
    const size_t n = tag.size();
    size_t end = (n > 0 && tag[n - 1] == '>') ? n - 1 : n;
    if (selfClosing && end > 0) --end;
    return end;
}

// The attribute at or after `*at` (behind the tag's name), moving `*at` past it; false
// when none is left. `*lastToken` follows as listAttributes() tells it.
bool nextAttribute(const char* s, size_t end, size_t* at, Attribute* out, size_t* lastToken) {
    size_t i = *at;
    while (i < end) {
        char c = s[i];
        if (isSpace(c) || c == '/') {
            ++i;
            continue;
        }
        if (classOf(c) & kQuote) {  // stray quoted text: skip it as the parser does
            i = skipQuoted(s, i, end);
            if (i < end) ++i;
            *lastToken = i;
            continue;
        }
        Attribute a;
        a.nameStart = static_cast<uint32_t>(i);
        i = std::min(scanWord(s, i, end, true), end);
        a.nameEnd = static_cast<uint32_t>(i);
        if (a.nameEnd == a.nameStart && s[i] != '=') {  // cannot happen; never loop forever
            ++i;
            continue;
        }
        size_t j = skipSpaces(s, i, end);
        if (j < end && s[j] == '=') {
            j = skipSpaces(s, j + 1, end);
            a.hasValue = true;
            if (j < end && (classOf(s[j]) & kQuote)) {
                a.quoted = true;
                a.valueStart = static_cast<uint32_t>(j + 1);
                a.valueEnd = static_cast<uint32_t>(closingQuote(s, j + 1, end, s[j], &a.hasReference));
                i = a.valueEnd < end ? a.valueEnd + 1 : end;
            } else {
                a.valueStart = static_cast<uint32_t>(j);
                a.valueEnd = static_cast<uint32_t>(std::min(scanWord(s, j, end, false), end));
                a.hasReference = std::memchr(s + j, '&', a.valueEnd - j) != nullptr;
                i = a.valueEnd;
            }
        }
        *lastToken = i;
        *at = i;
        *out = a;
        return true;
    }
    *at = i;
    return false;
}

}  // namespace

void listAttributes(std::string_view tag, bool selfClosing, std::vector<Attribute>& out,
                    size_t* lastToken) {
    out.clear();
    const size_t end = attributesEnd(tag, selfClosing);
    size_t i = std::min(nameEnd(tag.data(), 1, end), end);
    size_t token = i;
    Attribute a;
    while (nextAttribute(tag.data(), end, &i, &a, &token)) out.push_back(a);
    if (lastToken) *lastToken = token;
}

}  // namespace tarnix::xml

namespace tarnix {

std::string XmlDocument::Escape(std::string_view value, bool attribute) {
    std::string out;
    out.reserve(value.size() + value.size() / 10 + 7);
    const size_t n = value.size();
    size_t run = 0;  // start of the bytes not yet copied
    for (size_t i = 0; i < n;) {
        const char c = value[i];
        if (xml::isLead(c)) {
            if (i + 1 < n) {
                i += 2;
                continue;
            }
            out.append(value.data() + run, i - run);
            out += '?';  // a lone lead byte would swallow the closing delimiter
            run = ++i;
            continue;
        }
        const char* entity = nullptr;
        switch (c) {
            case '<':
                entity = "&lt;";
                break;
            case '&':
                entity = "&amp;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '\'':
                entity = attribute ? "&apos;" : nullptr;
                break;
            case '"':
                entity = attribute ? "&quot;" : nullptr;
                break;
            default:
                break;
        }
        if (entity) {
            out.append(value.data() + run, i - run);
            out += entity;
            run = i + 1;
        }
        ++i;
    }
    out.append(value.data() + run, n - run);
    return out;
}

namespace {

// "&#...;" at `amp`: the code point's GB2312 bytes and the reference's length, or an
// empty result when it is no usable reference.
std::string characterReference(std::string_view text, size_t amp, size_t* length) {
    size_t i = amp + 2;
    bool hex = i < text.size() && text[i] == 'x';
    if (hex) ++i;
    const size_t digitsStart = i;
    const size_t limit = amp + 2 + 6;  // the ';' comes within 6 characters
    uint32_t value = 0;
    while (i < text.size() && i < limit && text[i] != ';') {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return {};
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
        ++i;
    }
    if (i == digitsStart || i >= text.size() || i >= limit || text[i] != ';') return {};
    *length = i + 1 - amp;
    return codePointToGb(value);
}

}  // namespace

std::string XmlDocument::Unescape(std::string_view text) {
    if (text.find('&') == std::string_view::npos) return std::string(text);
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&amp;", '&'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (xml::isLead(c)) {
            size_t take = i + 1 < text.size() ? 2 : 1;
            out.append(text.data() + i, take);
            i += take;
            continue;
        }
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        bool done = false;
        for (const auto& [entity, ch] : kEntities) {
            if (text.substr(i, entity.size()) == entity) {
                out += ch;
                i += entity.size();
                done = true;
                break;
            }
        }
        if (!done && i + 1 < text.size() && text[i + 1] == '#') {
            size_t length = 0;
            std::string bytes = characterReference(text, i, &length);
            if (!bytes.empty()) {
                out += bytes;
                i += length;
                done = true;
            }
        }
        if (!done) {
            out += '&';
            ++i;
        }
    }
    return out;
}

}  // namespace tarnix
