#include "records/RecordFile.h"

#include <cstring>

#include "base/CodePage.h"
#include "records/RecordItemCursor.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"
#include "store/XmlFileLoad.h"
#include "store/XmlScan.h"

namespace tarnix {
namespace {

// Offsets are 32-bit, as the engine's are: a larger file is no record file.
constexpr uintmax_t kLargestFile = INT32_MAX;

// A short fixed text, compared with two 8-byte loads where 16 bytes are at hand: the tags
// of a record file repeat the same few pieces hundreds of thousands of times.
class Token {
  public:
    explicit Token(std::string_view text) : text_(text) {
        char bytes[16] = {}, mask[16] = {};
        std::memcpy(bytes, text.data(), text.size());
        std::memset(mask, 0xFF, text.size());
        std::memcpy(words_, bytes, 16);
        std::memcpy(masks_, mask, 16);
    }
    size_t size() const { return text_.size(); }
    bool at(const char* s, size_t i, size_t n) const {
        if (n - i < 16)
            return n - i >= text_.size() && std::memcmp(s + i, text_.data(), text_.size()) == 0;
        uint64_t a, b;
        std::memcpy(&a, s + i, 8);
        std::memcpy(&b, s + i + 8, 8);
        return (((a ^ words_[0]) & masks_[0]) | ((b ^ words_[1]) & masks_[1])) == 0;
    }

  private:
    std::string_view text_;  // at most 16 bytes
    uint64_t words_[2];
    uint64_t masks_[2];
};

// What comes before each value in a tag as the client writes it, and after the last.
const Token kValueStarts[kRecordFieldCount] = {Token(" user=\""),         Token("\" start_time=\""),
                                               Token("\" end_time=\""),   Token("\" ip=\""),
                                               Token("\" error_code=\""), Token("\" send=\""),
                                               Token("\" recv=\"")};
const Token kTagEnd("\"/>");
const Token kItemStart("<ITEM");
const Token kRecordEnd("</record>");

bool isSpace(char c) {
    return xml::isSpace(c);
}

// Reads the empty ITEM tag at `i` with the XML engine's own rules for tags, quotes and
// double-byte characters; false for anything else (the engine then reads the file).
class TagReader {
  public:
    explicit TagReader(std::string_view bytes) : s_(bytes.data()), n_(bytes.size()) {}

    bool read(size_t i, RecordItem& item, size_t& end) {
        if (!kItemStart.at(s_, i, n_) || i + 5 >= n_ || !(xml::classOf(s_[i + 5]) & xml::kNameEnd))
            return false;
        item.where = static_cast<uint32_t>(i);
        item.escaped = 0;
        return readUsualTag(i + 5, item, end) || readAnyTag(i, item, end);
    }

  private:
    // The seven attributes in their usual order, one blank before each, then "/>".
    bool readUsualTag(size_t i, RecordItem& item, size_t& end) {
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            const Token& head = kValueStarts[f];
            if (!head.at(s_, i, n_)) return false;
            const size_t start = i + head.size();
            size_t close = xml::findRaw(s_, start, n_, '"', '&', '"');
            if (close < n_ && s_[close] == '&') {
                item.escaped |= RecordItem::bit(static_cast<RecordField>(f));
                close = xml::findRaw(s_, close + 1, n_, '"', '"', '"');
            }
            if (close >= n_) return false;
            // A quote right after a lead byte may belong to that character for the engine.
            if (close > start && xml::isLead(s_[close - 1]) && !xml::isBoundary(s_, start, close))
                return false;
            item.fields[f] = {static_cast<uint32_t>(start), static_cast<uint32_t>(close - start)};
            i = close;
        }
        if (!kTagEnd.at(s_, i, n_)) return false;
        end = i + kTagEnd.size();
        return true;
    }

    // Any empty ITEM tag, with the engine's attribute rules (the first of a name counts).
    bool readAnyTag(size_t tagStart, RecordItem& item, size_t& end) {
        bool selfClosing = false;
        const size_t gt = xml::tagEnd(s_, tagStart + 5, n_, &selfClosing);
        if (gt >= n_ || !selfClosing) return false;
        xml::listAttributes(std::string_view(s_ + tagStart, gt + 1 - tagStart), true, attributes_,
                            nullptr);
        item.fields = {};
        item.escaped = 0;
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            for (const xml::Attribute& a : attributes_) {
                const std::string_view name(s_ + tagStart + a.nameStart, a.nameEnd - a.nameStart);
                if (name != kRecordFieldNames[f]) continue;
                if (!a.hasValue) break;
                const size_t start = tagStart + a.valueStart, length = a.valueEnd - a.valueStart;
                item.fields[f] = {static_cast<uint32_t>(start), static_cast<uint32_t>(length)};
                if (std::memchr(s_ + start, '&', length))
                    item.escaped |= RecordItem::bit(static_cast<RecordField>(f));
                break;
            }
        }
        end = gt + 1;
        return true;
    }

    const char* s_;
    size_t n_;
    std::vector<xml::Attribute> attributes_;
};

// The whole file in the client's own shape, or false.
bool scanPlainFile(std::string_view s, std::vector<RecordItem>& items) {
    if (s.substr(0, kXmlDeclaration.size()) != kXmlDeclaration) return false;
    size_t i = kXmlDeclaration.size();
    while (i < s.size() && isSpace(s[i])) ++i;
    if (s.substr(i, 8) != "<record>") return false;
    i += 8;
    TagReader tags(s);
    for (uint32_t place = 0;; ++place) {
        while (i < s.size() && isSpace(s[i])) ++i;
        if (kRecordEnd.at(s.data(), i, s.size())) {
            i += kRecordEnd.size();
            while (i < s.size() && isSpace(s[i])) ++i;
            return i == s.size();
        }
        RecordItem& item = items.emplace_back();
        item.place = place;
        if (!tags.read(i, item, i)) return false;
    }
}

// File names are UTF-16 on Windows and UTF-8 elsewhere.
[[maybe_unused]] std::string nameToGb(const std::wstring& name) {
    return wideToGb(name);
}
[[maybe_unused]] std::string nameToGb(const std::string& name) {
    return utf8ToGb(name);
}

}  // namespace

RecordFile::RecordFile(std::filesystem::path path)
    : path_(std::move(path)), name_(gbFileName(path_)) {}

bool RecordFile::read(std::vector<RecordItem>& items) {
    items.clear();
    text_.clear();
    engineItems_.clear();
    engine_ = false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    if (ec || size > kLargestFile) return false;  // not even read into memory
    std::string error;
    if (!readWholeFile(path_, text_, error) || text_.size() > kLargestFile) return false;
    if (scanPlainFile(text_, items)) return true;

    // The engine keeps the values it reads, already free of entities.
    items.clear();
    text_.clear();
    text_.shrink_to_fit();
    engine_ = true;
    XmlDocument doc;
    if (!doc.Load(path_) && doc.GetDocText().empty()) return false;
    for (RecordItemCursor cursor(doc); cursor.next();) {
        RecordItem& item = items.emplace_back();
        item.place = cursor.place();
        item.where = static_cast<uint32_t>(items.size() - 1);
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            const std::string value = cursor.attribute(kRecordFieldNames[f]);
            item.fields[f] = {static_cast<uint32_t>(text_.size()),
                              static_cast<uint32_t>(value.size())};
            text_ += value;
        }
    }
    engineItems_ = items;
    return true;
}

std::string_view RecordFile::text(const RecordItem& item, RecordField f, std::string& spare) const {
    const TextSpan span = item.fields[static_cast<size_t>(f)];
    const std::string_view raw = std::string_view(text_).substr(span.offset, span.length);
    if (!(item.escaped & RecordItem::bit(f))) return raw;
    spare = XmlDocument::Unescape(raw);
    return spare;
}

std::string RecordFile::value(const RecordItem& item, RecordField f) const {
    const TextSpan span = item.fields[static_cast<size_t>(f)];
    const std::string_view raw = std::string_view(text_).substr(span.offset, span.length);
    return (item.escaped & RecordItem::bit(f)) ? XmlDocument::Unescape(raw) : std::string(raw);
}

RecordItem RecordFile::itemAt(uint32_t where) const {
    if (engine_) return where < engineItems_.size() ? engineItems_[where] : RecordItem{};
    RecordItem item;
    size_t end;
    if (!TagReader(text_).read(where, item, end)) return RecordItem{};
    return item;
}

std::string gbFileName(const std::filesystem::path& path) {
    return nameToGb(path.filename().native());
}

}  // namespace tarnix
