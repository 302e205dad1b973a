// The quick ways of reading a start tag against the plain ones, on tags of any bytes:
// telling whether a byte starts a character, and finding attributes by name in the
// order they stand.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "store/XmlDocument.h"
#include "store/XmlScan.h"

namespace tarnix {
namespace {

// Tags mostly in the usual shape, with values of GB2312 characters, references and quotes
// of the other kind, spread over more than 16 bytes; now and then a byte that breaks the
// shape (a lone lead byte before a quote, a bare name, a stray quote, a blank before '=',
// a repeated name).
std::string randomTag(std::mt19937& rng, std::vector<std::string>& names) {
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    static const char* const kPieces[] = {"a",    "7",   " ",    "\xd5\xfd", "\xb3\xa3", "&amp;",
                                          "'",    "\"",  "\x81", "\xaa",     "=",        "/",
                                          "\t\r\n", ">", "&",    "\xfe\xfe"};
    static const char* const kNoise[] = {" ", "  = ", "\"", "'", "/", "\x81", "x", "=", "\r\n",
                                         "\xd5", "&", "a b", "=x", "\xd5\xfd"};
    static const char* const kNames[] = {"a", "user", "start_time", "ip", "\xc3\xfb", "a\x81",
                                         "error_code", "x:y"};
    names.clear();
    std::string tag = pick(3) ? "<ITEM" : "<\xd6\xd0";
    for (size_t k = pick(9); k; --k) {
        tag += pick(5) ? " " : "\r\n\t";
        names.push_back(kNames[pick(std::size(kNames))]);
        tag += names.back();
        tag += pick(8) ? "=" : " = ";
        const char quote = pick(3) ? '"' : '\'';
        tag += quote;
        for (size_t n = pick(pick(6) ? 12 : 40); n; --n) {
            const std::string piece = kPieces[pick(std::size(kPieces))];
            if (piece.find(quote) == std::string::npos) tag += piece;
        }
        tag += quote;
        if (!pick(8)) tag += kNoise[pick(std::size(kNoise))];
    }
    return tag;
}

TEST(XmlScan, CharacterBoundariesAgreeWithAForwardWalk) {
    std::mt19937 rng(7);
    // Half the strings are mostly lead byte values, for runs longer than one look.
    const char bytes[] = {'\x81', '\xfe', '\xd5', 'a', '"', '\x80', '\xff', '\x40'};
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        for (size_t n = rng() % 100; n; --n)
            s += bytes[round % 2 && rng() % 16 ? rng() % 3 : rng() % std::size(bytes)];
        const size_t from = s.empty() ? 0 : rng() % s.size();
        std::vector<bool> starts(s.size() + 1, false);
        for (size_t i = from; i <= s.size(); i += i < s.size() && xml::isLead(s[i]) ? 2 : 1)
            starts[i] = true;
        for (size_t pos = from; pos < s.size(); ++pos)
            ASSERT_EQ(xml::isBoundary(s.data(), from, pos), starts[pos]) << round << " " << pos;
    }
}

// Each attribute as the whole reading of the tag gives it: the first of its name.
std::string expected(std::string_view tag, bool selfClosing, const std::string& name) {
    std::vector<xml::Attribute> list;
    xml::listAttributes(tag, selfClosing, list, nullptr);
    for (const xml::Attribute& a : list)
        if (tag.substr(a.nameStart, a.nameEnd - a.nameStart) == name)
            return XmlDocument::Unescape(tag.substr(a.valueStart, a.valueEnd - a.valueStart));
    return {};
}

TEST(XmlScan, AttributesReadInOrderAreTheFirstOfTheirNames) {
    std::mt19937 rng(20091231);
    std::vector<std::string> names;
    std::string scratch;
    int read = 0;
    for (int round = 0; round < 6000; ++round) {
        const std::string tag = randomTag(rng, names) + ">";
        bool selfClosing = false;
        const size_t nameEnd = xml::nameEnd(tag.data(), 1, tag.size());
        if (xml::tagEnd(tag.data(), nameEnd, tag.size(), &selfClosing) != tag.size() - 1)
            continue;  // the noise ended the tag early or left a quote open
        XmlDocument doc;
        doc.SetDocText(tag + "</" + tag.substr(1, nameEnd - 1) + ">");
        ASSERT_TRUE(doc.FindElement()) << tag;
        // In the tag's order (the quick way where the shape allows), shuffled, and in
        // order again from wherever the shuffle left the reading.
        std::vector<std::string> order = names;
        order.push_back("absent");
        order.push_back("use");
        for (int pass = 0; pass < 3; ++pass) {
            if (pass == 1) std::shuffle(order.begin(), order.end(), rng);
            if (pass == 2) order = names;
            for (const std::string& name : order) {
                ASSERT_EQ(doc.GetAttribute(name, scratch), expected(tag, selfClosing, name))
                    << tag << " / " << name << " pass " << pass;
                ++read;
            }
        }
    }
    EXPECT_GT(read, 20000);  // the generator still makes tags the parser takes
}

}  // namespace
}  // namespace tarnix
