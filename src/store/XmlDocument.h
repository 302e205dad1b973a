#pragma once
// XmlDocument: the client's XML engine.
//
// A document is one GB2312 text, the exact bytes of the file, with an index of element
// positions beside it. Reading walks the index; editing splices new text into the string
// and shifts the index entries behind the edit (found through the tree: an edit costs what
// follows it, not the size of the index); saving writes the string back, so every
// byte the program did not touch (comments, declarations, spacing, attribute order)
// survives unchanged.
//
// A cursor of three positions drives all access: the parent, the main element (a child
// of the parent) and the child element (a child of the main element). Positions are
// element indexes; 0 means none. Single-threaded, readers included (they keep a small
// cache of the last element's attributes); each owner keeps its own documents.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/TextBuffer.h"

namespace tarnix {

namespace xml {
struct Attribute;
}

class XmlDocument {
  public:
    XmlDocument();
    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    ~XmlDocument();

    // Whole document. Malformed text is indexed as far as it goes; the first problem is
    // kept in the result text and IsWellFormed() turns false.
    bool SetDocText(std::string_view text);
    std::string_view GetDocText() const { return text_; }
    // Load: false when the file cannot be read (document unchanged), else IsWellFormed().
    // Files declaring UTF-8 are converted to GB2312 on load and back on save, and so are
    // those declaring no encoding whose bytes are UTF-8; one declaring none that is not
    // UTF-8 is GB2312 and stays so. A file that would lose characters in the conversion
    // (declared UTF-8 but not, or holding characters GB2312 lacks) is not well-formed.
    bool Load(const std::filesystem::path& file);
    // Load for bytes already read from a file: between `room` spare bytes on either side,
    // as readWholeFile places them.
    bool LoadBytes(std::string bytes, size_t room = 0);
    // Save: crash-safe replacement of the file; false with the system's message on failure.
    bool Save(const std::filesystem::path& file);
    bool IsWellFormed() const;
    const std::string& GetResultText() const { return result_; }

    // Cursor.
    void ResetMainPosition();
    bool FindElement(std::string_view name = {});  // empty name: any element
    bool FindChildElement(std::string_view name = {});
    bool EnterElement();
    bool LeaveElement();
    std::string GetTagName() const;
    std::string GetChildTagName() const;

    // Element text (empty when the element has child elements).
    std::string GetText() const;
    std::string GetChildText() const;
    bool SetText(std::string_view value);
    bool SetText(int value);

    // New elements, each on a line of its own. An empty value writes <name/>.
    bool AddElement(std::string_view name, std::string_view value = {});
    bool AddElement(std::string_view name, int value);
    bool InsertElement(std::string_view name, std::string_view value = {});
    bool InsertElement(std::string_view name, int value);
    bool AddChildElement(std::string_view name, std::string_view value = {});
    bool AddChildElement(std::string_view name, int value);

    // Attributes of the main (child) element.
    std::string GetAttribute(std::string_view name) const;
    // The same without copying: a view into the document, valid until its next edit, or,
    // for a value holding a reference such as &amp;, into `scratch`, which gets the
    // unescaped value. For walks that compare or count values by the thousand.
    std::string_view GetAttribute(std::string_view name, std::string& scratch) const;
    std::string GetChildAttribute(std::string_view name) const;
    bool SetAttribute(std::string_view name, std::string_view value);
    bool SetAttribute(std::string_view name, int value);

    // Removal, with the whitespace that follows the element up to the next tag.
    bool RemoveElement();
    bool RemoveChildElement();

    // Verifies that the index matches the text and the cursor is valid; returns a
    // description of the first inconsistency, or an empty string.
    std::string CheckIndex() const;
    // The element tree as offsets, "(start,length,startTag,endTag ...children)" in document
    // order: two documents with equal summaries index their text the same way.
    std::string IndexSummary() const;

    // Value escaping as written into element text or attribute values, and its inverse.
    static std::string Escape(std::string_view value, bool attribute);
    static std::string Unescape(std::string_view text);

  private:
    // Pages are allocated uninitialised (a parse reserves far more than it may use);
    // newRecord() clears each record it hands out.
    struct Record {
        int32_t start;   // offset of the '<' of the start tag
        int32_t length;  // through the end tag (the start tag alone when none)
        uint32_t startTagLength;
        uint32_t endTagLength;  // 0 for <a/> and for elements never ended
        uint32_t flags;
        uint32_t parent;
        uint32_t firstChild;
        uint32_t next;  // 0 for the last child
        uint32_t prev;  // the first child's prev is the last child: a ring
    };
    // Marks in `flags`. The nesting level is not kept: no operation needs it, and it would
    // have to be rewritten for whole subtrees when unended elements give up their content.
    enum Flag : uint32_t {
        kReleased = 1u << 16,
        kNotEnded = 1u << 17,
        kBadContent = 1u << 18,
        kIllFormed = 1u << 19,
    };
    enum class Where { AfterMain, BeforeMain, AtChild };
    static constexpr uint32_t kPageBits = 16;
    static constexpr uint32_t kPageSize = 1u << kPageBits;

    Record& rec(uint32_t i) { return pages_[i >> kPageBits][i & (kPageSize - 1)]; }
    const Record& rec(uint32_t i) const { return pages_[i >> kPageBits][i & (kPageSize - 1)]; }

    // Index storage.
    void reserveRecords(uint32_t count);
    uint32_t newRecord();
    void releaseTree(uint32_t top);
    void linkLast(uint32_t parent, uint32_t r);
    void linkAfter(uint32_t sibling, uint32_t r);
    void linkBefore(uint32_t sibling, uint32_t r);
    void unlink(uint32_t r);
    uint32_t previousSibling(uint32_t r) const;

    // Parsing (XmlParse.cpp).
    void parse(const std::string& loadResult);
    template <typename Describe>
    void problem(uint32_t where, const Describe& describe);
    void closeAsNotEnded(uint32_t innermost, uint32_t keeper);

    // Reading helpers.
    std::string_view nameOf(uint32_t r) const;
    size_t contentStart(uint32_t r) const;
    size_t contentEnd(uint32_t r) const;
    bool isEmptyTag(uint32_t r) const;
    size_t emptyTagSlashes(uint32_t r) const;
    std::string textOf(uint32_t r) const;
    std::string_view attributeView(uint32_t r, std::string_view name, std::string& scratch) const;
    const xml::Attribute* findAttribute(uint32_t r, std::string_view name, size_t* lastToken) const;
    bool attributeInOrder(uint32_t r, std::string_view name, xml::Attribute* out) const;
    void listAttributesOf(uint32_t r) const;
    uint32_t findSibling(uint32_t from, std::string_view name) const;

    // Editing helpers.
    bool splice(size_t pos, size_t removeLength, std::string_view insert, uint32_t container);
    void shiftFollowing(uint32_t container, int64_t threshold, int32_t shift);
    void shiftTree(uint32_t top, int32_t shift);
    void settle();
    bool addNew(Where where, std::string_view name, std::string_view value);
    bool setContent(uint32_t r, std::string_view value);
    bool removeTree(uint32_t r);

    TextBuffer text_;
    std::vector<std::unique_ptr<Record[]>> pages_;
    uint32_t capacity_ = 0;
    uint32_t nextFree_ = 1;
    uint32_t freeHead_ = 0;
    uint32_t parent_ = 0, main_ = 0, child_ = 0;
    std::string result_;
    std::string problem_;
    bool utf8Bom_ = false;
    bool gbWithoutDeclaration_ = false;  // saved unconverted although it declares no encoding
    uint64_t version_ = 0;  // changes with every parse and every edit of the text
    // A shift of the index not made yet: every record behind the end of `deferredAfter_`
    // (its later siblings and its ancestors', with their subtrees) still lacks
    // `deferredShift_`. Edits inside one element in a row (its attributes set one by one)
    // add up here instead of moving the rest of the index each time, and a save needs no
    // index. Every other operation settles it first, so the cursor never stands on such a
    // record and reads never meet one. 0: none (the document has no siblings).
    uint32_t deferredAfter_ = 0;
    int64_t deferredShift_ = 0;
    mutable uint32_t attributesElement_ = 0;
    mutable uint64_t attributesVersion_ = ~0ull;
    mutable std::vector<xml::Attribute> attributes_;
    mutable size_t attributesLastToken_ = 0;
    mutable bool attributesUnique_ = true;  // no name twice: lookups may start anywhere
    mutable uint64_t attributesSeen_ = 0;   // a bit for each name's length and end bytes
    mutable size_t attributesNext_ = 0;     // after the last one found
    // Where the next attribute of `inOrderElement_` stands, for lookups in the tag's order.
    mutable uint32_t inOrderElement_ = 0;
    mutable uint64_t inOrderVersion_ = ~0ull;
    mutable uint32_t inOrderAt_ = 0;
    mutable uint32_t inOrderEnd_ = 0;     // where the attributes end: the '>' or "/>"
    mutable uint64_t inOrderSeen_ = 0;    // the name bits of those found in order
};

}  // namespace tarnix
