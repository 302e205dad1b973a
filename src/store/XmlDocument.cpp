#include "store/XmlDocument.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <system_error>

#include "base/AsciiText.h"
#include "base/CodePage.h"
#include "store/SafeFile.h"
#include "store/XmlScan.h"

namespace tarnix {

using namespace xml;

namespace {

constexpr size_t kMaxText = INT32_MAX;  // offsets are 32-bit

// The encoding the text's leading XML declaration names, from its first character up to the
// end of the declaration; none when it names none.
std::optional<std::string_view> declaredEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    std::string_view decl = text.substr(0, text.find("?>"));
    size_t k = decl.find("encoding");
    if (k == std::string_view::npos) return {};
    k += 8;
    while (k < decl.size() && isSpace(decl[k])) ++k;
    if (k >= decl.size() || decl[k] != '=') return {};
    ++k;
    while (k < decl.size() && isSpace(decl[k])) ++k;
    if (k >= decl.size() || (decl[k] != '"' && decl[k] != '\'')) return {};
    return decl.substr(k + 1);
}

// True when the text declares no encoding, or a UTF-8 one; such files are UTF-8 on disk.
bool isUtf8OnDisk(std::string_view text) {
    const auto declared = declaredEncoding(text);
    if (!declared) return true;
    return startsWithNoCase(*declared, "utf-8");
}

// Strict UTF-8: no overlong forms, surrogates or values beyond U+10FFFF.
bool isUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length || s[i + 1] < low || s[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k)
            if ((s[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

// The state SetDocText("") leaves, set directly: documents are made often.
XmlDocument::XmlDocument() : result_("Empty document") {
    reserveRecords(64);
    rec(0) = Record{};
}
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;
XmlDocument::~XmlDocument() = default;

// ---- index storage ---------------------------------------------------------------

void XmlDocument::reserveRecords(uint32_t count) {
    while (capacity_ < count) {
        const uint32_t inLast = capacity_ & (kPageSize - 1);
        if (!pages_.empty() && inLast != 0) {  // grow the partial last page
            const uint32_t base = capacity_ - inLast;
            const uint32_t want = static_cast<uint32_t>(
                std::min<uint64_t>(kPageSize, std::max<uint64_t>(2ull * inLast, count - base)));
            std::unique_ptr<Record[]> page(new Record[want]);
            std::copy(pages_.back().get(), pages_.back().get() + inLast, page.get());
            pages_.back() = std::move(page);
            capacity_ = base + want;
        } else {
            const uint32_t want = static_cast<uint32_t>(
                std::min<uint64_t>(kPageSize, std::max<uint64_t>(count - capacity_, 16)));
            pages_.emplace_back(new Record[want]);
            capacity_ += want;
        }
    }
}

uint32_t XmlDocument::newRecord() {
    uint32_t r;
    if (freeHead_) {
        r = freeHead_;
        freeHead_ = rec(r).next;
    } else {
        if (nextFree_ >= capacity_) reserveRecords(nextFree_ + 1);
        r = nextFree_++;
    }
    rec(r) = Record{};
    return r;
}

void XmlDocument::releaseTree(uint32_t top) {
    std::vector<uint32_t> stack{top};
    while (!stack.empty()) {
        const uint32_t x = stack.back();
        stack.pop_back();
        for (uint32_t c = rec(x).firstChild; c; c = rec(c).next) stack.push_back(c);
        Record& r = rec(x);
        r = Record{};
        r.flags = kReleased;
        r.next = freeHead_;
        freeHead_ = x;
    }
}

void XmlDocument::linkLast(uint32_t parent, uint32_t r) {
    Record& e = rec(r);
    e.parent = parent;
    e.next = 0;
    const uint32_t first = rec(parent).firstChild;
    if (!first) {
        rec(parent).firstChild = r;
        e.prev = r;
        return;
    }
    const uint32_t last = rec(first).prev;
    rec(last).next = r;
    e.prev = last;
    rec(first).prev = r;
}

void XmlDocument::linkAfter(uint32_t sibling, uint32_t r) {
    const uint32_t next = rec(sibling).next;
    if (!next) {
        linkLast(rec(sibling).parent, r);
        return;
    }
    Record& e = rec(r);
    e.parent = rec(sibling).parent;
    e.prev = sibling;
    e.next = next;
    rec(sibling).next = r;
    rec(next).prev = r;
}

void XmlDocument::linkBefore(uint32_t sibling, uint32_t r) {
    const uint32_t parent = rec(sibling).parent;
    Record& e = rec(r);
    e.parent = parent;
    e.next = sibling;
    if (rec(parent).firstChild == sibling) {
        e.prev = rec(sibling).prev;  // the last child
        rec(parent).firstChild = r;
    } else {
        const uint32_t prev = rec(sibling).prev;
        e.prev = prev;
        rec(prev).next = r;
    }
    rec(sibling).prev = r;
}

void XmlDocument::unlink(uint32_t r) {
    const uint32_t parent = rec(r).parent;
    const uint32_t first = rec(parent).firstChild;
    const uint32_t next = rec(r).next;
    if (first == r) {
        rec(parent).firstChild = next;
        if (next) rec(next).prev = rec(r).prev;
    } else {
        const uint32_t prev = rec(r).prev;
        rec(prev).next = next;
        rec(next ? next : first).prev = prev;
    }
}

uint32_t XmlDocument::previousSibling(uint32_t r) const {
    return rec(rec(r).parent).firstChild == r ? 0 : rec(r).prev;
}

// ---- reading -------------------------------------------------------------------------

std::string_view XmlDocument::nameOf(uint32_t r) const {
    const Record& e = rec(r);
    const size_t from = static_cast<size_t>(e.start) + 1;
    const size_t limit = static_cast<size_t>(e.start) + e.startTagLength;
    const size_t end = std::min(nameEnd(text_.data(), from, limit), limit);
    return std::string_view(text_).substr(from, end - from);
}

size_t XmlDocument::contentStart(uint32_t r) const {
    return r ? static_cast<size_t>(rec(r).start) + rec(r).startTagLength : 0;
}

size_t XmlDocument::contentEnd(uint32_t r) const {
    if (!r) return text_.size();
    const Record& e = rec(r);
    return static_cast<size_t>(e.start) + static_cast<size_t>(e.length) - e.endTagLength;
}

bool XmlDocument::isEmptyTag(uint32_t r) const {
    return r && rec(r).endTagLength == 0 && !(rec(r).flags & kNotEnded);
}

std::string XmlDocument::textOf(uint32_t r) const {
    if (!r || rec(r).firstChild) return {};
    const size_t cs = contentStart(r), ce = contentEnd(r);
    if (cs >= ce) return {};
    const char* s = text_.data();
    size_t lt = scanTo(s, cs, ce, kLess);
    if (lt >= ce) return Unescape(std::string_view(s + cs, ce - cs));
    // Mixed content: only CDATA sections count, taken as they stand.
    std::string out;
    while (lt < ce) {
        std::string_view rest(s + lt, ce - lt);
        size_t skipTo;
        if (rest.substr(0, 9) == "<![CDATA[") {
            const size_t e = find(s, lt + 9, ce, "]]>");
            out.append(s + lt + 9, e - (lt + 9));
            skipTo = e + 3;
        } else if (rest.substr(0, 4) == "<!--") {
            skipTo = find(s, lt + 4, ce, "-->") + 3;
        } else if (rest.substr(0, 2) == "<?") {
            skipTo = find(s, lt + 2, ce, "?>") + 2;
        } else {
            skipTo = scanTo(s, lt + 1, ce, kGreater) + 1;
        }
        lt = scanTo(s, std::min(skipTo, ce), ce, kLess);
    }
    return out;
}

namespace {

template <typename Word>
Word load(const char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Names mostly differ in length or in their first or last byte. The rest is compared a
// word at a time, the last word overlapping the one before: names are short, and a call
// to memcmp, or a loop whose length changes from name to name, costs more.
bool sameBytes(const char* p, const char* q, size_t length) {
    if (length == 0) return true;
    if (p[0] != q[0] || p[length - 1] != q[length - 1]) return false;
    if (length < 4) return length < 3 || p[1] == q[1];
    if (length <= 8)
        return load<uint32_t>(p) == load<uint32_t>(q) &&
               load<uint32_t>(p + length - 4) == load<uint32_t>(q + length - 4);
    for (size_t i = 0; i + 8 < length; i += 8)
        if (load<uint64_t>(p + i) != load<uint64_t>(q + i)) return false;
    return load<uint64_t>(p + length - 8) == load<uint64_t>(q + length - 8);
}

bool sameName(const char* tag, const Attribute& a, std::string_view name) {
    const size_t length = a.nameEnd - a.nameStart;
    return length == name.size() && sameBytes(tag + a.nameStart, name.data(), length);
}

// A bit for each name's length and first and last byte: the usual names get bits of
// their own.
uint64_t nameBit(std::string_view name) {
    if (name.empty()) return 1;
    const auto first = static_cast<unsigned char>(name.front());
    const auto last = static_cast<unsigned char>(name.back());
    return 1ull << ((first * 31 + last * 7 + name.size()) & 63);
}

}  // namespace

// The attributes of `r`'s start tag, listed once per element and edit: callers read
// several attributes of one element in a row.
void XmlDocument::listAttributesOf(uint32_t r) const {
    if (r == attributesElement_ && version_ == attributesVersion_) return;
    const Record& e = rec(r);
    const std::string_view tag = std::string_view(text_).substr(e.start, e.startTagLength);
    listAttributes(tag, isEmptyTag(r), attributes_, &attributesLastToken_);
    attributesElement_ = r;
    attributesVersion_ = version_;
    attributesNext_ = 0;
    attributesUnique_ = true;
    attributesSeen_ = 0;
    // Names are compared only where their lengths and last bytes meet in a small bit set,
    // not pair by pair.
    for (size_t j = 0; j < attributes_.size(); ++j) {
        const Attribute& a = attributes_[j];
        const std::string_view name = tag.substr(a.nameStart, a.nameEnd - a.nameStart);
        const uint64_t bit = nameBit(name);
        if (attributesUnique_ && (attributesSeen_ & bit))
            for (size_t i = 0; i < j; ++i)
                if (sameName(tag.data(), attributes_[i], name)) attributesUnique_ = false;
        attributesSeen_ |= bit;
    }
}

const Attribute* XmlDocument::findAttribute(uint32_t r, std::string_view name,
                                            size_t* lastToken) const {
    listAttributesOf(r);
    if (lastToken) *lastToken = attributesLastToken_;
    if (!(attributesSeen_ & nameBit(name))) return nullptr;
    const char* tag = text_.data() + rec(r).start;
    // Callers read attributes in file order: start after the last one found, which
    // finds the first of that name as long as no name occurs twice.
    const size_t count = attributes_.size();
    const size_t first = attributesUnique_ && attributesNext_ < count ? attributesNext_ : 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t i = first + k < count ? first + k : first + k - count;
        if (sameName(tag, attributes_[i], name)) {
            attributesNext_ = i + 1;
            return &attributes_[i];
        }
    }
    return nullptr;
}

// Callers mostly read an element's attributes in the order they stand in its tag. So a
// lookup first tries the spot after the last attribute found that way: when the name
// stands there, right before '=' and a quote, only the value's end is left to find, and
// no attribute before it can bear that name (each was found by a name of its own). Any
// other shape, or a name seen already, goes the whole way through findAttribute().
bool XmlDocument::attributeInOrder(uint32_t r, std::string_view name, Attribute* out) const {
    const Record& e = rec(r);
    const char* tag = text_.data() + e.start;
    if (r != inOrderElement_ || version_ != inOrderVersion_) {
        inOrderElement_ = r;
        inOrderVersion_ = version_;
        inOrderEnd_ = e.startTagLength - (isEmptyTag(r) ? 2 : 1);
        inOrderAt_ = static_cast<uint32_t>(std::min<size_t>(nameEnd(tag, 1, inOrderEnd_), inOrderEnd_));
        inOrderSeen_ = 0;
    }
    const size_t end = inOrderEnd_, n = name.size();
    size_t i = inOrderAt_;
    while (i < end && isSpace(tag[i])) ++i;
    if (n == 0 || i + n + 1 >= end || tag[i + n] != '=' || !(classOf(tag[i + n + 1]) & kQuote) ||
        !sameBytes(tag + i, name.data(), n))
        return false;
    // The name must end where the tag's reading would end it, not at a delimiter inside.
    const uint64_t bit = nameBit(name);
    if ((inOrderSeen_ & bit) || !attributeNameEndsAt(tag, i, end, i + n)) return false;
    const size_t start = i + n + 2;
    bool reference = false;
    const size_t close = closingQuote(tag, start, end, tag[i + n + 1], &reference);
    if (close >= end) return false;
    out->valueStart = static_cast<uint32_t>(start);
    out->valueEnd = static_cast<uint32_t>(close);
    out->hasValue = out->quoted = true;
    out->hasReference = reference;
    inOrderAt_ = static_cast<uint32_t>(close + 1);
    inOrderSeen_ |= bit;
    return true;
}

std::string_view XmlDocument::attributeView(uint32_t r, std::string_view name,
                                            std::string& scratch) const {
    if (!r) return {};
    // Once the element's attributes are listed (they were read out of order), lookups
    // stay with the list.
    const bool listed = r == attributesElement_ && version_ == attributesVersion_;
    Attribute inOrder;
    const Attribute* a = !listed && attributeInOrder(r, name, &inOrder)
                             ? &inOrder
                             : findAttribute(r, name, nullptr);
    if (!a || !a->hasValue) return {};
    const std::string_view raw(text_.data() + rec(r).start + a->valueStart,
                               a->valueEnd - a->valueStart);
    if (!a->hasReference) return raw;
    scratch = Unescape(raw);
    return scratch;
}

uint32_t XmlDocument::findSibling(uint32_t from, std::string_view name) const {
    if (name.empty()) return from;
    // A valid name (no delimiter in it, no lead byte cut off) matches a tag whose bytes
    // begin with it and end there, without finding the end of each tag's name.
    if (isValidName(name)) {
        const char* s = text_.data();
        for (uint32_t x = from; x; x = rec(x).next) {
            const Record& e = rec(x);
            const char* tag = s + e.start + 1;
            if (e.startTagLength > name.size() + 1 && tag[0] == name[0] &&
                (classOf(tag[name.size()]) & kNameEnd) &&
                std::memcmp(tag, name.data(), name.size()) == 0)
                return x;
        }
        return 0;
    }
    for (uint32_t x = from; x; x = rec(x).next)
        if (nameOf(x) == name) return x;
    return 0;
}

bool XmlDocument::IsWellFormed() const {
    const uint32_t root = rec(0).firstChild;
    return root && !rec(root).next && !(rec(0).flags & kIllFormed);
}

// ---- cursor --------------------------------------------------------------------------

void XmlDocument::ResetMainPosition() {
    settle();
    main_ = child_ = 0;
}

bool XmlDocument::FindElement(std::string_view name) {
    settle();
    const uint32_t x = findSibling(main_ ? rec(main_).next : rec(parent_).firstChild, name);
    if (!x) return false;
    main_ = x;
    parent_ = rec(x).parent;
    child_ = 0;
    return true;
}

bool XmlDocument::FindChildElement(std::string_view name) {
    settle();
    if (!main_ && !FindElement()) return false;
    const uint32_t x = findSibling(child_ ? rec(child_).next : rec(main_).firstChild, name);
    if (!x) return false;
    child_ = x;
    return true;
}

bool XmlDocument::EnterElement() {
    settle();
    if (!main_) return false;
    parent_ = main_;
    main_ = child_;
    child_ = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    settle();
    if (!parent_) return false;
    child_ = main_;
    main_ = parent_;
    parent_ = rec(parent_).parent;
    return true;
}

std::string XmlDocument::GetTagName() const {
    return main_ ? std::string(nameOf(main_)) : "";
}
std::string XmlDocument::GetChildTagName() const {
    return child_ ? std::string(nameOf(child_)) : "";
}
std::string XmlDocument::GetText() const {
    return textOf(main_);
}
std::string XmlDocument::GetChildText() const {
    return textOf(child_);
}
std::string XmlDocument::GetAttribute(std::string_view name) const {
    std::string scratch;
    return std::string(attributeView(main_, name, scratch));
}
std::string_view XmlDocument::GetAttribute(std::string_view name, std::string& scratch) const {
    return attributeView(main_, name, scratch);
}
std::string XmlDocument::GetChildAttribute(std::string_view name) const {
    std::string scratch;
    return std::string(attributeView(child_, name, scratch));
}

// ---- editing -------------------------------------------------------------------------

// Replaces text_[pos, pos + removeLength) with `insert`, moves every record that starts
// behind the cut, and resizes `container` and all its ancestors. `container` holds the cut
// and none of its children does.
bool XmlDocument::splice(size_t pos, size_t removeLength, std::string_view insert,
                         uint32_t container) {
    if (text_.size() - removeLength + insert.size() > kMaxText) return false;
    text_.replace(pos, removeLength, insert);
    ++version_;
    const int64_t delta = static_cast<int64_t>(insert.size()) - static_cast<int64_t>(removeLength);
    if (delta == 0) return true;
    const int32_t shift = static_cast<int32_t>(delta);
    const int64_t threshold = static_cast<int64_t>(pos + removeLength);
    if (deferredAfter_ != container) settle();
    const uint32_t first = rec(container).firstChild;
    if (container != 0 && (!first || rec(rec(first).prev).start < threshold)) {
        // No child of the container is behind the cut: what moves is all that follows it.
        deferredAfter_ = container;
        deferredShift_ += shift;
    } else {
        settle();
        shiftFollowing(container, threshold, shift);
    }
    for (uint32_t a = container; a; a = rec(a).parent) rec(a).length += shift;
    rec(0).length = static_cast<int32_t>(text_.size());
    return true;
}

// The records behind a cut inside `container` are its children from the cut on and the
// later siblings of it and of each ancestor, with their subtrees. Each list is read from
// its last child backwards, so an edit near the end of a long list (a store's appends)
// touches only what follows it, not the whole index.
void XmlDocument::shiftFollowing(uint32_t container, int64_t threshold, int32_t shift) {
    for (uint32_t a = container;; a = rec(a).parent) {
        const uint32_t first = rec(a).firstChild;
        for (uint32_t c = first ? rec(first).prev : 0; c && rec(c).start >= threshold;
             c = c == first ? 0 : rec(c).prev)
            shiftTree(c, shift);
        if (a == 0) return;
    }
}

void XmlDocument::settle() {
    if (!deferredAfter_) return;
    const auto shift = static_cast<int32_t>(deferredShift_);
    const uint32_t after = deferredAfter_;
    deferredAfter_ = 0;
    deferredShift_ = 0;
    if (shift == 0) return;
    for (uint32_t a = after; a; a = rec(a).parent)
        for (uint32_t c = rec(a).next; c; c = rec(c).next) shiftTree(c, shift);
}

void XmlDocument::shiftTree(uint32_t top, int32_t shift) {
    rec(top).start += shift;
    // Preorder through the links, without a stack.
    uint32_t x = rec(top).firstChild;
    while (x) {
        rec(x).start += shift;
        if (rec(x).firstChild) {
            x = rec(x).firstChild;
            continue;
        }
        while (x != top && !rec(x).next) x = rec(x).parent;
        x = x == top ? 0 : rec(x).next;
    }
}

namespace {

// Where a new element goes relative to a line: its offset and whether it needs a line
// break in front to stand on a line of its own.
struct Spot {
    size_t pos;
    bool breakBefore;
};

// Before `pos`: at the start of its line when only blanks precede it there (scanning
// from `from`, a character boundary), else right at `pos` after a line break.
Spot spotBefore(std::string_view text, size_t from, size_t pos) {
    size_t lineStart = std::string::npos;
    for (size_t i = from; i < pos;) {
        char c = text[i];
        if (c == '\n')
            lineStart = i + 1;
        else if (c != ' ' && c != '\t' && c != '\r')
            lineStart = std::string::npos;
        i += isLead(c) ? 2 : 1;
    }
    if (lineStart != std::string::npos) return {lineStart, false};
    return {pos, pos != 0};
}

// After `end`: behind the line break that ends its line when only blanks come before it.
Spot spotAfter(std::string_view text, size_t end, size_t limit) {
    size_t q = end;
    while (q < limit && (text[q] == ' ' || text[q] == '\t')) ++q;
    if (q < limit && text[q] == '\n') return {q + 1, false};
    if (q < limit && text[q] == '\r')
        return {q + (q + 1 < limit && text[q + 1] == '\n' ? 2 : 1), false};
    return {end, true};
}

}  // namespace

bool XmlDocument::addNew(Where where, std::string_view name, std::string_view value) {
    settle();
    if (!isValidName(name)) return false;
    uint32_t parent = parent_, ref = main_;
    if (where == Where::AtChild) {
        if (!main_) return false;
        parent = main_;
        ref = child_;
    }
    const bool before = where == Where::BeforeMain;
    const std::string escaped = Escape(value, false);
    std::string element = "<" + std::string(name);
    const size_t startTag = value.empty() ? element.size() + 2 : element.size() + 1;
    element += value.empty() ? "/>" : ">" + escaped + "</" + std::string(name) + ">";
    const std::string eol = "\r\n";

    size_t pos, removed = 0, offset;
    std::string insert;
    bool wasEmpty = false, wasNotEnded = false;
    if (parent && !rec(parent).firstChild &&
        (isEmptyTag(parent) || (rec(parent).flags & kNotEnded))) {
        // The parent gets an end tag: <p/> becomes <p>, CR LF, element, CR LF, </p>.
        const Record& p = rec(parent);
        const std::string endTag = "</" + std::string(nameOf(parent)) + ">";
        wasEmpty = isEmptyTag(parent);
        pos = static_cast<size_t>(p.start) + p.startTagLength;
        if (wasEmpty) {
            removed = emptyTagSlashes(parent) + 1;
            pos -= removed;
            insert = ">";
        }
        insert += eol;
        offset = insert.size();
        insert += element + eol + endTag;
        wasNotEnded = !wasEmpty;
    } else {
        Spot spot;
        const size_t cs = contentStart(parent), ce = contentEnd(parent);
        if (ref && !before) {
            const Record& r = rec(ref);
            spot = spotAfter(text_, static_cast<size_t>(r.start) + r.length, ce);
        } else if (ref) {
            const uint32_t prev = previousSibling(ref);
            const size_t from = prev ? static_cast<size_t>(rec(prev).start) + rec(prev).length : cs;
            spot = spotBefore(text_, from, static_cast<size_t>(rec(ref).start));
        } else if (before) {
            spot = spotAfter(text_, cs, ce);
            if (spot.breakBefore) spot.breakBefore = cs != 0;
        } else {
            const uint32_t first = rec(parent).firstChild;
            const uint32_t last = first ? rec(first).prev : 0;
            const size_t from = last ? static_cast<size_t>(rec(last).start) + rec(last).length : cs;
            spot = spotBefore(text_, from, ce);
        }
        pos = spot.pos;
        if (spot.breakBefore) insert = eol;
        offset = insert.size();
        insert += element + eol;
    }
    if (!splice(pos, removed, insert, parent)) return false;
    if (wasEmpty || wasNotEnded) {
        Record& p = rec(parent);
        if (wasEmpty) p.startTagLength -= static_cast<uint32_t>(removed - 1);
        p.endTagLength = static_cast<uint32_t>(2 + nameOf(parent).size() + 1);
        p.flags &= ~kNotEnded;
    }
    const uint32_t e = newRecord();
    Record& r = rec(e);
    r.start = static_cast<int32_t>(pos + offset);
    r.length = static_cast<int32_t>(element.size());
    r.startTagLength = static_cast<uint32_t>(startTag);
    r.endTagLength = value.empty() ? 0 : static_cast<uint32_t>(name.size() + 3);
    if (!ref) {
        const uint32_t first = rec(parent).firstChild;
        if (before && first)
            linkBefore(first, e);
        else
            linkLast(parent, e);
    } else if (before) {
        linkBefore(ref, e);
    } else {
        linkAfter(ref, e);
    }
    if (where == Where::AtChild)
        child_ = e;
    else {
        main_ = e;
        child_ = 0;
    }
    return true;
}

bool XmlDocument::AddElement(std::string_view name, std::string_view value) {
    return addNew(Where::AfterMain, name, value);
}
bool XmlDocument::AddElement(std::string_view name, int value) {
    return AddElement(name, std::to_string(value));
}
bool XmlDocument::InsertElement(std::string_view name, std::string_view value) {
    return addNew(Where::BeforeMain, name, value);
}
bool XmlDocument::InsertElement(std::string_view name, int value) {
    return InsertElement(name, std::to_string(value));
}
bool XmlDocument::AddChildElement(std::string_view name, std::string_view value) {
    return addNew(Where::AtChild, name, value);
}
bool XmlDocument::AddChildElement(std::string_view name, int value) {
    return AddChildElement(name, std::to_string(value));
}

// The '/' characters that end the empty-element tag of `r` ("<a//>" has two): all go
// when it becomes a start tag, or the tag would still read as empty.
size_t XmlDocument::emptyTagSlashes(uint32_t r) const {
    const size_t start = static_cast<size_t>(rec(r).start);
    size_t close = start + rec(r).startTagLength - 1;  // the '>'
    const size_t nameEnd = start + 1 + nameOf(r).size();
    size_t count = 0;
    while (close > nameEnd && text_[close - 1] == '/' &&
           isBoundary(text_.data(), start, close - 1)) {
        --close;
        ++count;
    }
    return count;
}

bool XmlDocument::setContent(uint32_t r, std::string_view value) {
    if (r != deferredAfter_) settle();
    if (!r || rec(r).firstChild) return false;
    const std::string escaped = Escape(value, false);
    const Record& e = rec(r);
    const bool notEnded = e.flags & kNotEnded;
    if (isEmptyTag(r) || notEnded) {
        if (escaped.empty()) return true;
        // <a/> becomes <a>value</a>; an element that was never ended gets its end tag.
        const std::string endTag = "</" + std::string(nameOf(r)) + ">";
        size_t pos = static_cast<size_t>(e.start) + e.startTagLength;
        size_t removed = 0;
        std::string insert = escaped + endTag;
        if (!notEnded) {
            removed = emptyTagSlashes(r) + 1;
            pos -= removed;
            insert = ">" + insert;
        }
        if (!splice(pos, removed, insert, r)) return false;
        Record& changed = rec(r);
        if (!notEnded) changed.startTagLength -= static_cast<uint32_t>(removed - 1);
        changed.endTagLength = static_cast<uint32_t>(endTag.size());
        changed.flags &= ~kNotEnded;
        return true;
    }
    const size_t cs = contentStart(r);
    return splice(cs, contentEnd(r) - cs, escaped, r);
}

bool XmlDocument::SetText(std::string_view value) {
    return setContent(main_, value);
}
bool XmlDocument::SetText(int value) {
    return SetText(std::to_string(value));
}

bool XmlDocument::SetAttribute(std::string_view name, std::string_view value) {
    if (!main_ || !isValidName(name)) return false;
    if (main_ != deferredAfter_) settle();
    const size_t start = static_cast<size_t>(rec(main_).start);
    const size_t closing = rec(main_).startTagLength - (isEmptyTag(main_) ? 2 : 1);
    size_t lastToken = 0;
    const Attribute* found = findAttribute(main_, name, &lastToken);
    const std::string escaped = Escape(value, true);
    const size_t before = text_.size();
    bool ok;
    if (found && found->quoted) {
        if (found->valueEnd >= closing) return false;  // no closing quote: leave it alone
        ok = splice(start + found->valueStart, found->valueEnd - found->valueStart, escaped, main_);
    } else if (found && found->hasValue) {
        ok = splice(start + found->valueStart, found->valueEnd - found->valueStart,
                    "\"" + escaped + "\"", main_);
    } else if (found) {
        ok = splice(start + found->nameEnd, 0, "=\"" + escaped + "\"", main_);
    } else {
        ok = splice(start + lastToken, 0, " " + std::string(name) + "=\"" + escaped + "\"", main_);
    }
    if (!ok) return false;
    rec(main_).startTagLength += static_cast<uint32_t>(text_.size() - before);
    return true;
}

bool XmlDocument::SetAttribute(std::string_view name, int value) {
    return SetAttribute(name, std::to_string(value));
}

bool XmlDocument::removeTree(uint32_t r) {
    const Record& e = rec(r);
    const uint32_t parent = e.parent;
    const size_t start = static_cast<size_t>(e.start);
    size_t end = start + static_cast<size_t>(e.length);
    size_t q = end;
    while (q < text_.size() && isSpace(text_[q])) ++q;
    if (q == text_.size() || text_[q] == '<') end = q;
    unlink(r);
    releaseTree(r);
    return splice(start, end - start, {}, parent);
}

bool XmlDocument::RemoveElement() {
    settle();
    if (!main_) return false;
    const uint32_t prev = previousSibling(main_);
    removeTree(main_);
    main_ = prev;
    child_ = 0;
    return true;
}

bool XmlDocument::RemoveChildElement() {
    settle();
    if (!child_) return false;
    const uint32_t prev = previousSibling(child_);
    removeTree(child_);
    child_ = prev;
    return true;
}

// ---- whole document ----------------------------------------------------------------

bool XmlDocument::SetDocText(std::string_view text) {
    if (text.size() > kMaxText) {
        result_ = std::generic_category().message(EFBIG);
        return false;
    }
    text_.assign(text);
    utf8Bom_ = false;
    gbWithoutDeclaration_ = false;
    parse({});
    return IsWellFormed();
}

bool XmlDocument::Load(const std::filesystem::path& file) {
    std::string bytes, error;
    size_t room = 0;  // spare bytes around the file's, for edits
    if (!readWholeFile(file, bytes, error, &room)) {
        result_ = error;
        return false;
    }
    return LoadBytes(std::move(bytes), room);
}

bool XmlDocument::LoadBytes(std::string bytes, size_t room) {
    const size_t size = bytes.size() - 2 * room;
    if (size > kMaxText) {
        result_ = std::generic_category().message(EFBIG);
        return false;
    }
    const std::string loadResult = std::to_string(size) + " bytes";
    std::string_view view(bytes.data() + room, size);
    const bool bom = view.substr(0, 3) == kUtf8Bom;
    if (bom) view.remove_prefix(3);
    // Converting would turn what the code page cannot hold into '?', and the next save
    // would write that back: such a file is told as damaged instead, its bytes untouched.
    std::string_view lost;
    utf8Bom_ = false;
    gbWithoutDeclaration_ = false;
    if (!isUtf8OnDisk(view)) {
        text_.adopt(std::move(bytes), room);
    } else if (!isUtf8(view) && !bom && !declaredEncoding(view)) {
        // The program's own files are GB2312; one without a declaration that is not
        // UTF-8 is taken as such and saved as it came.
        text_.adopt(std::move(bytes), room);
        gbWithoutDeclaration_ = true;
    } else {
        std::string converted = utf8ToGb(view);
        if (!isUtf8(view))
            lost = "not UTF-8";
        else if (gbToUtf8(converted) != view)
            lost = "characters outside GB2312";
        text_.adopt(std::move(converted));
        utf8Bom_ = bom;
    }
    parse(loadResult);
    if (!lost.empty()) {
        rec(0).flags |= kIllFormed;
        result_ = loadResult + ", " + std::string(lost);
    }
    return IsWellFormed();
}

bool XmlDocument::Save(const std::filesystem::path& file) {
    std::string converted;
    std::string_view out = text_;
    if (!gbWithoutDeclaration_ && isUtf8OnDisk(text_)) {
        converted = (utf8Bom_ ? std::string(kUtf8Bom) : std::string()) + gbToUtf8(text_);
        out = converted;
    }
    std::string error;
    if (!writeWholeFile(file, out, error)) {
        result_ = error;
        return false;
    }
    result_ = std::to_string(out.size()) + " bytes";
    return true;
}

// ---- self check ----------------------------------------------------------------------

// The self checks look at every record: a deferred shift is made first. That changes no
// answer the document gives, so they stay const.
std::string XmlDocument::CheckIndex() const {
    const_cast<XmlDocument*>(this)->settle();
    auto fail = [](uint32_t r, const std::string& what) {
        return "element " + std::to_string(r) + ": " + what;
    };
    if (rec(0).length != static_cast<int64_t>(text_.size())) return fail(0, "length");
    const size_t n = text_.size();
    uint32_t live = 0;
    // Preorder walk through the links, without recursion.
    std::vector<uint32_t> stack{0};
    while (!stack.empty()) {
        const uint32_t p = stack.back();
        stack.pop_back();
        const size_t cs = contentStart(p), ce = contentEnd(p);
        if (cs > ce || ce > n) return fail(p, "content bounds");
        const uint32_t first = rec(p).firstChild;
        size_t previousEnd = cs;
        uint32_t last = 0;
        for (uint32_t c = first; c; c = rec(c).next) {
            if (c >= nextFree_ || (rec(c).flags & kReleased)) return fail(c, "released or unknown");
            if (++live > nextFree_) return fail(c, "sibling loop");
            const Record& e = rec(c);
            if (e.parent != p) return fail(c, "parent link");
            if (e.prev != (c == first ? rec(first).prev : last)) return fail(c, "prev link");
            if (e.start < 0 || static_cast<size_t>(e.start) < previousEnd) return fail(c, "order");
            const size_t start = static_cast<size_t>(e.start);
            const size_t end = start + static_cast<size_t>(e.length);
            if (e.length < 0 || end > ce) return fail(c, "not inside parent");
            if (e.startTagLength < 2 || e.startTagLength > static_cast<uint32_t>(e.length) ||
                e.endTagLength > e.length - e.startTagLength)
                return fail(c, "tag lengths");
            if (text_[start] != '<' || text_[start + e.startTagLength - 1] != '>')
                return fail(c, "start tag");
            const std::string_view name = nameOf(c);
            if (name.empty() || !(classOf(name[0]) & kNameStart)) return fail(c, "name");
            if (e.endTagLength) {
                const std::string_view endTag(text_.data() + end - e.endTagLength, e.endTagLength);
                if (endTag.substr(0, 2) != "</" || endTag.substr(2, name.size()) != name ||
                    endTag.back() != '>')
                    return fail(c, "end tag");
            } else if (e.length != static_cast<int32_t>(e.startTagLength) || e.firstChild) {
                return fail(c, "element without end tag has content");
            }
            previousEnd = end;
            last = c;
            stack.push_back(c);
        }
        if (first && rec(first).prev != last) return fail(p, "ring");
    }
    uint32_t allocated = 0;
    for (uint32_t i = 1; i < nextFree_; ++i)
        if (!(rec(i).flags & kReleased)) ++allocated;
    if (allocated != live) return "records lost from the tree";
    if (main_ && rec(main_).parent != parent_) return "cursor: main is not a child of parent";
    if (child_ && rec(child_).parent != main_) return "cursor: child is not a child of main";
    for (uint32_t pos : {parent_, main_, child_})
        if (pos >= nextFree_ || (pos && (rec(pos).flags & kReleased))) return "cursor: stale";
    return {};
}

std::string XmlDocument::IndexSummary() const {
    const_cast<XmlDocument*>(this)->settle();
    std::string out;
    // Preorder through the links; climbing back up closes the parentheses.
    uint32_t x = rec(0).firstChild;
    while (x) {
        const Record& e = rec(x);
        out += "(" + std::to_string(e.start) + "," + std::to_string(e.length) + "," +
               std::to_string(e.startTagLength) + "," + std::to_string(e.endTagLength);
        if (e.firstChild) {
            x = e.firstChild;
            continue;
        }
        out += ")";
        while (x && !rec(x).next) {
            x = rec(x).parent;
            if (x) out += ")";
        }
        if (x) x = rec(x).next;
    }
    return out;
}

}  // namespace tarnix
