// Building the element index from the document text. The parser is a loop over tokens
// with the open elements reached through the parent links, so nesting depth costs no
// stack.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/XmlDocument.h"
#include "store/XmlScan.h"

namespace tarnix {

using namespace xml;

namespace {

bool startsWith(const char* s, size_t i, size_t n, std::string_view token) {
    return n - i >= token.size() && std::string_view(s + i, token.size()) == token;
}

std::string offsetText(size_t offset) {
    return "at offset " + std::to_string(offset);
}

std::string at(std::string_view what, size_t offset) {
    return std::string(what) + " " + offsetText(offset);
}

// End of a declaration such as <!DOCTYPE ...>: its '>', skipping quoted text and an
// internal subset in brackets.
size_t declarationEnd(const char* s, size_t i, size_t n) {
    int depth = 0;
    while (i < n) {
        char c = s[i];
        if (c == '>' && depth == 0) return i;
        if (c == '[')
            ++depth;
        else if (c == ']' && depth > 0)
            --depth;
        else if (c == '"' || c == '\'') {
            ++i;
            while (i < n && s[i] != c) i += isLead(s[i]) ? 2 : 1;
        }
        if (i >= n) break;
        i += isLead(c) ? 2 : 1;
    }
    return n;
}

}  // namespace

// Only the first problem is kept, so later ones are never even formatted.
template <typename Describe>
void XmlDocument::problem(uint32_t where, const Describe& describe) {
    if (problem_.empty()) problem_ = describe();
    rec(0).flags |= kIllFormed;
    rec(where).flags |= kBadContent;
}

// The elements from `innermost` up to, not including, `keeper` lost their end tags. Each
// keeps only its start tag, and what was parsed as its content moves up to follow it as
// children of `keeper`, in document order.
void XmlDocument::closeAsNotEnded(uint32_t innermost, uint32_t keeper) {
    std::vector<uint32_t> chain;
    for (uint32_t e = innermost; e != keeper; e = rec(e).parent) chain.push_back(e);
    for (uint32_t e : chain) {
        Record& r = rec(e);
        if (problem_.empty())
            problem_ =
                "Element '" + std::string(nameOf(e)) + "' " + offsetText(r.start) + " not ended";
        r.flags |= kNotEnded;
        r.length = static_cast<int32_t>(r.startTagLength);
        r.endTagLength = 0;
    }
    rec(0).flags |= kIllFormed;
    rec(keeper).flags |= kBadContent;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const uint32_t first = rec(*it).firstChild;
        if (!first) continue;
        for (uint32_t c = first; c; c = rec(c).next) rec(c).parent = keeper;
        const uint32_t last = rec(first).prev;
        const uint32_t keeperFirst = rec(keeper).firstChild;  // never 0: holds the chain
        const uint32_t keeperLast = rec(keeperFirst).prev;
        rec(keeperLast).next = first;
        rec(first).prev = keeperLast;
        rec(keeperFirst).prev = last;
        rec(*it).firstChild = 0;
    }
}

void XmlDocument::parse(const std::string& loadResult) {
    result_.clear();
    problem_.clear();
    ++version_;
    parent_ = main_ = child_ = 0;
    deferredAfter_ = 0;
    deferredShift_ = 0;
    nextFree_ = 1;
    freeHead_ = 0;
    // Room for the expected elements; the old records need no copying.
    // (At least a small page, so that small documents parse without growing it.)
    const uint32_t expected = std::max<uint32_t>(64, static_cast<uint32_t>(text_.size() / 64 + 8));
    if (capacity_ < expected) {
        pages_.clear();
        capacity_ = 0;
    }
    reserveRecords(expected);
    rec(0) = Record{};
    rec(0).length = static_cast<int32_t>(text_.size());

    const char* s = text_.data();
    const size_t n = text_.size();
    uint32_t cur = 0;
    // Open elements by name; built only once an end tag fails to match, so that
    // searching the ancestors never costs more than closing them.
    std::unordered_map<std::string_view, uint32_t> openNames;
    bool tracking = false;

    if (n == 0) problem_ = "Empty document";
    size_t p = 0;
    while (p < n) {
        const size_t lt = std::min(scanToLess(s, p, n), n);
        if (lt >= n) break;
        if (lt + 1 >= n) {
            problem(cur, [&] { return at("tag", lt) + " unterminated"; });
            break;
        }
        const char c = s[lt + 1];
        if (c == '!') {
            if (startsWith(s, lt, n, "<!--")) {
                size_t e = find(s, lt + 4, n, "-->");
                if (e >= n) {
                    problem(cur, [&] { return at("Comment", lt) + " unterminated"; });
                    break;
                }
                p = e + 3;
            } else if (startsWith(s, lt, n, "<![CDATA[")) {
                size_t e = find(s, lt + 9, n, "]]>");
                if (e >= n) {
                    problem(cur, [&] { return at("CDATA Section", lt) + " unterminated"; });
                    break;
                }
                p = e + 3;
            } else if (lt + 2 < n && s[lt + 2] == '-') {
                problem(cur, [&] { return at("Incorrect comment tag", lt); });
                p = lt + 1;
            } else if (lt + 2 < n && (classOf(s[lt + 2]) & kNameStart)) {
                size_t e = declarationEnd(s, lt + 2, n);
                if (e >= n) {
                    problem(cur, [&] { return at("Doctype", lt) + " unterminated"; });
                    break;
                }
                p = e + 1;
            } else {
                problem(cur, [&] { return at("Incorrect ! tag", lt); });
                p = lt + 1;
            }
            continue;
        }
        if (c == '?') {
            size_t e = find(s, lt + 2, n, "?>");
            if (e >= n) {
                problem(cur, [&] { return at("Processing instruction", lt) + " unterminated"; });
                break;
            }
            p = e + 2;
            continue;
        }
        if (c == '/') {
            const size_t ns = lt + 2;
            const size_t ne = std::min(nameEnd(s, ns, n), n);
            const size_t gt = scanTo(s, ne, n, kGreater);
            if (gt >= n) {
                problem(cur, [&] { return at("Element end tag", lt) + " unterminated"; });
                break;
            }
            p = gt + 1;
            const std::string_view name(s + ns, ne - ns);
            if (cur == 0) {
                problem(cur, [&] {
                    return "No start tag for end tag '" + std::string(name) + "' " + offsetText(lt);
                });
                continue;
            }
            uint32_t closing = cur;
            if (nameOf(cur) != name) {
                if (!tracking) {
                    for (uint32_t e = cur; e; e = rec(e).parent) ++openNames[nameOf(e)];
                    tracking = true;
                }
                auto it = openNames.find(name);
                if (it == openNames.end() || it->second == 0) {
                    problem(cur, [&] {
                        return "End tag '" + std::string(name) + "' " + offsetText(lt) +
                               " does not match start tag '" + std::string(nameOf(cur)) + "' " +
                               offsetText(rec(cur).start);
                    });
                    continue;
                }
                closing = rec(cur).parent;
                while (nameOf(closing) != name) closing = rec(closing).parent;
                for (uint32_t e = cur; e != closing; e = rec(e).parent) --openNames[nameOf(e)];
                closeAsNotEnded(cur, closing);
            }
            if (tracking) --openNames[name];
            Record& r = rec(closing);
            r.length = static_cast<int32_t>(gt + 1 - static_cast<size_t>(r.start));
            r.endTagLength = static_cast<uint32_t>(gt + 1 - lt);
            cur = r.parent;
            continue;
        }
        if (classOf(c) & kNameStart) {
            const size_t ne = std::min(nameEnd(s, lt + 1, n), n);
            bool selfClosing = false;
            const size_t gt = tagEnd(s, ne, n, &selfClosing);
            if (gt >= n) {
                problem(cur, [&] { return at("Element tag", lt) + " unterminated"; });
                break;
            }
            const uint32_t e = newRecord();
            Record& r = rec(e);
            r.start = static_cast<int32_t>(lt);
            r.startTagLength = static_cast<uint32_t>(gt + 1 - lt);
            r.length = static_cast<int32_t>(r.startTagLength);
            linkLast(cur, e);
            if (!selfClosing) {
                cur = e;
                if (tracking) ++openNames[nameOf(e)];
            }
            p = gt + 1;
            continue;
        }
        problem(cur, [&] { return at("Incorrect tag name character", lt); });
        p = lt + 1;
    }
    if (cur != 0) closeAsNotEnded(cur, 0);

    // The root checks are repeated live by IsWellFormed(), so they only name the problem.
    const uint32_t root = rec(0).firstChild;
    if (problem_.empty() && !root)
        problem_ = "No root element";
    else if (problem_.empty() && rec(root).next)
        problem_ = "Root element has sibling";

    if (!loadResult.empty() && !problem_.empty())
        result_ = loadResult + ", " + problem_;
    else if (!loadResult.empty())
        result_ = loadResult;
    else
        result_ = problem_;
    problem_.clear();
}

}  // namespace tarnix
