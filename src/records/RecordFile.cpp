#include "records/RecordFile.h"

#include <cstring>

#include "records/RecordItemCursor.h"
#include "store/CodePage.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"
#include "store/XmlScan.h"

namespace tarnix {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";

// Reads files of the shape this client writes in one pass, with the XML engine's own
// rules for tags, quotes and double-byte characters. Gives up (returns false) at the first
// thing outside that shape, and the engine reads the file instead.
class PlainScan {
  public:
    PlainScan(RecordFile& file, std::vector<RecordItem>& items)
        : file_(file), s_(file.bytes.data()), n_(file.bytes.size()), items_(items) {}

    bool run() {
        if (std::string_view(s_, n_).substr(0, kDeclaration.size()) != kDeclaration) return false;
        size_t i = skipSpaces(kDeclaration.size());
        if (!at(i, "<record>")) return false;
        i += 8;
        for (uint32_t place = 0;; ++place) {
            i = skipSpaces(i);
            if (at(i, "</record>")) return skipSpaces(i + 9) == n_;
            if (!at(i, "<ITEM") || i + 5 >= n_ || !(xml::classOf(s_[i + 5]) & xml::kNameEnd))
                return false;
            RecordItem& item = items_.emplace_back();
            item.place = place;
            if (!readUsualTag(i + 5, item, i) && !readAnyTag(i + 5, item, i)) return false;
        }
    }

  private:
    bool at(size_t i, std::string_view token) const {
        return n_ - i >= token.size() && std::memcmp(s_ + i, token.data(), token.size()) == 0;
    }
    size_t skipSpaces(size_t i) const {
        while (i < n_ && xml::isSpace(s_[i])) ++i;
        return i;
    }

    // The seven attributes in their usual order, each name="value", then "/>".
    bool readUsualTag(size_t i, RecordItem& item, size_t& end) {
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            i = skipSpaces(i);
            const std::string_view name = kRecordFieldNames[f];
            if (!at(i, name) || !at(i + name.size(), "=\"")) return false;
            const size_t start = i + name.size() + 2;
            const void* quote = std::memchr(s_ + start, '"', n_ - start);
            if (!quote) return false;
            const size_t close = static_cast<size_t>(static_cast<const char*>(quote) - s_);
            // A quote right after a lead byte belongs to that character for the engine.
            if (!xml::isBoundary(s_, start, close)) return false;
            item.fields[f] = span(start, close);
            i = close + 1;
        }
        i = skipSpaces(i);
        if (!at(i, "/>")) return false;
        end = i + 2;
        return true;
    }

    // Any empty ITEM tag, read with the engine's attribute rules (first of a name wins).
    bool readAnyTag(size_t nameEnd, RecordItem& item, size_t& end) {
        const size_t tagStart = nameEnd - 5;
        bool selfClosing = false;
        const size_t gt = xml::tagEnd(s_, nameEnd, n_, &selfClosing);
        if (gt >= n_ || !selfClosing) return false;
        xml::listAttributes(std::string_view(s_ + tagStart, gt + 1 - tagStart), true, attributes_,
                            nullptr);
        item.fields = {};
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            for (const xml::Attribute& a : attributes_) {
                const std::string_view name(s_ + tagStart + a.nameStart, a.nameEnd - a.nameStart);
                if (name != kRecordFieldNames[f]) continue;
                if (a.hasValue)
                    item.fields[f] = span(tagStart + a.valueStart, tagStart + a.valueEnd);
                break;
            }
        }
        end = gt + 1;
        return true;
    }

    TextSpan span(size_t start, size_t end) {
        const std::string_view raw(s_ + start, end - start);
        if (std::memchr(raw.data(), '&', raw.size()) == nullptr)
            return {static_cast<uint32_t>(start), static_cast<uint32_t>(raw.size())};
        const std::string value = XmlDocument::Unescape(raw);
        TextSpan side{static_cast<uint32_t>(file_.values.size()) | TextSpan::kSideBuffer,
                      static_cast<uint32_t>(value.size())};
        file_.values += value;
        return side;
    }

    RecordFile& file_;
    const char* s_;
    size_t n_;
    std::vector<RecordItem>& items_;
    std::vector<xml::Attribute> attributes_;
};

bool readThroughEngine(RecordFile& file, std::vector<RecordItem>& items) {
    file.bytes.clear();
    file.bytes.shrink_to_fit();
    XmlDocument doc;
    if (!doc.Load(file.path) && doc.GetDocText().empty()) return false;
    RecordItemCursor cursor(doc);
    while (cursor.next()) {
        RecordItem& item = items.emplace_back();
        item.place = cursor.place();
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            const std::string value = cursor.attribute(kRecordFieldNames[f]);
            item.fields[f] = {static_cast<uint32_t>(file.values.size()) | TextSpan::kSideBuffer,
                              static_cast<uint32_t>(value.size())};
            file.values += value;
        }
    }
    return true;
}

// File names are UTF-16 on Windows and UTF-8 elsewhere.
[[maybe_unused]] std::string nameToGb(const std::wstring& name) {
    return wideToGb(name);
}
[[maybe_unused]] std::string nameToGb(const std::string& name) {
    return utf8ToGb(name);
}

}  // namespace

bool RecordFile::read(std::vector<RecordItem>& items) {
    items.clear();
    bytes.clear();
    values.clear();
    // Offsets are 32-bit with one bit for the side buffer, as the engine's are: a larger
    // file is no record file, and is not read into memory at all.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size >= TextSpan::kSideBuffer) return false;
    std::string error;
    if (!readWholeFile(path, bytes, error) || bytes.size() >= TextSpan::kSideBuffer) return false;
    PlainScan scan(*this, items);
    if (scan.run()) return true;
    items.clear();
    values.clear();
    return readThroughEngine(*this, items);
}

std::string gbFileName(const std::filesystem::path& path) {
    return nameToGb(path.filename().native());
}

}  // namespace tarnix
