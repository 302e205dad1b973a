// Hostile and damaged documents: every one is indexed as far as it goes, the index
// matches the text, and editing it stays safe.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "../fuzz/xml_fuzz_case.h"
#include "store/XmlDocument.h"

namespace tarnix {
namespace {

// Runs a fixed round of cursor moves and edits, checking the index after each (or, for
// huge documents, only at the end).
void exercise(XmlDocument& doc, bool everyStep = true) {
    auto check = [&] { return everyStep ? doc.CheckIndex() : std::string(); };
    ASSERT_EQ(check(), "");
    doc.ResetMainPosition();
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement();
    doc.GetText();
    doc.GetAttribute("a");
    ASSERT_EQ(check(), "");
    doc.SetAttribute("a", "v<&>");
    ASSERT_EQ(check(), "");
    doc.AddChildElement("c", "t");
    ASSERT_EQ(check(), "");
    doc.InsertElement("i");
    ASSERT_EQ(check(), "");
    doc.SetText("x");
    ASSERT_EQ(check(), "");
    doc.RemoveElement();
    ASSERT_EQ(check(), "");
    doc.LeaveElement();
    doc.AddElement("z");
    ASSERT_EQ(check(), "");
    ASSERT_EQ(doc.CheckIndex(), "");
}

TEST(XmlBadInput, DeepNestingNeedsNoStack) {
    const int depth = 200000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += "<e>";
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDocText(text));  // never ended
    EXPECT_EQ(doc.GetResultText(), "Element 'e' at offset 599997 not ended");
    exercise(doc, false);

    for (int i = 0; i < depth; ++i) text += "</e>";
    EXPECT_TRUE(doc.SetDocText(text));
    int levels = 0;
    while (doc.FindChildElement("e")) {
        doc.EnterElement();
        ++levels;
    }
    EXPECT_EQ(levels, depth - 1);
    exercise(doc, false);

    // Many end tags that match nothing, under deep nesting.
    text.assign(depth / 2 * 3, ' ');
    for (int i = 0; i < depth / 2; ++i) text.replace(i * 3, 3, "<e>");
    for (int i = 0; i < depth / 2; ++i) text += "</x>";
    doc.SetDocText(text);
    EXPECT_EQ(doc.GetResultText().substr(0, 11), "End tag 'x'");
    exercise(doc, false);
}

TEST(XmlBadInput, TruncatedDocumentsAtEveryLength) {
    const std::string good =
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<!DOCTYPE c>\r\n<CONFIG>\r\n"
        "<User NAME=\"\xd5\xc5\" PASSWORD='a&amp;b'/>\r\n<!-- c -->\r\n"
        "<t><![CDATA[x]]></t><?p x?>\r\n</CONFIG>\r\n";
    XmlDocument doc;
    for (size_t n = 0; n <= good.size(); ++n) {
        doc.SetDocText(good.substr(0, n));
        exercise(doc);
        if (HasFatalFailure()) FAIL() << "length " << n;
    }
    EXPECT_TRUE(doc.SetDocText(good));
}

TEST(XmlBadInput, RandomBytesAndMarkupSoup) {
    std::mt19937 random(12345);
    const std::string pieces[] = {"<",        ">",    "/",    "\"",   "'",    "=",     " ",
                                  "a",        "b",    "<a",   "</a>", "<!--", "-->",   "<![CDATA[",
                                  "]]>",      "<?",   "?>",   "<!",   "&#",   "&amp;", "\x81",
                                  "\xd6\xd0", "\r\n", "<b/>", "\0"};
    XmlDocument doc;
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) {
            if (round % 2)
                text += pieces[random() % std::size(pieces)];
            else
                text += static_cast<char>(random() & 0xFF);
        }
        doc.SetDocText(text);
        exercise(doc);
        if (HasFatalFailure()) FAIL() << "round " << round;
    }
}

TEST(XmlBadInput, HugeAttributeValues) {
    const std::string big(3 << 20, 'v');
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<r a=\"" + big + "\"><c/></r>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("a").size(), big.size());
    ASSERT_TRUE(doc.SetAttribute("b", big + "&"));
    EXPECT_EQ(doc.GetAttribute("b"), big + "&");
    ASSERT_TRUE(doc.FindChildElement("c"));
    EXPECT_EQ(doc.CheckIndex(), "");
}

// Inputs that once broke the engine, replayed as the fuzzer ran them.
TEST(XmlBadInput, FuzzRegressions) {
    const std::filesystem::path folder =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz" / "regressions";
    if (!std::filesystem::exists(folder)) GTEST_SKIP() << "no regression inputs";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(
            fuzz::runXmlFuzzCase(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
            << entry.path();
        XmlDocument doc;
        doc.SetDocText(bytes);
        exercise(doc);
    }
}

}  // namespace
}  // namespace tarnix
