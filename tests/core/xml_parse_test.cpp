// Parsing, the parse problem texts, navigation and reading values.
#include <gtest/gtest.h>

#include "store/XmlDocument.h"

namespace tarnix {
namespace {

struct ProblemCase {
    const char* text;
    const char* problem;
};

TEST(XmlParse, ReportsTheFirstProblemWithItsText) {
    const ProblemCase cases[] = {
        {"", "Empty document"},
        {"just text", "No root element"},
        {"<?xml version=\"1.0\"?>\r\n", "No root element"},
        {"<a></a><b/>", "Root element has sibling"},
        {"<a><b></a>", "Element 'b' at offset 3 not ended"},
        {"<a><b><c></a>", "Element 'c' at offset 6 not ended"},
        {"<a><b>", "Element 'b' at offset 3 not ended"},
        {"<a></b>", "End tag 'b' at offset 3 does not match start tag 'a' at offset 0"},
        {"</a>", "No start tag for end tag 'a' at offset 0"},
        {"<a", "Element tag at offset 0 unterminated"},
        {"<a x=\"1>y</a>", "Element tag at offset 0 unterminated"},
        {"<a></a", "Element end tag at offset 3 unterminated"},
        {"<a><!-- x </a>", "Comment at offset 3 unterminated"},
        {"<a><![CDATA[x</a>", "CDATA Section at offset 3 unterminated"},
        {"<?xml version=\"1.0\"", "Processing instruction at offset 0 unterminated"},
        {"<!DOCTYPE a [ <!ENTITY x \"y\"> ]", "Doctype at offset 0 unterminated"},
        {"<a><", "tag at offset 3 unterminated"},
        {"<a>< b</a>", "Incorrect tag name character at offset 3"},
        {"<a><!-x--></a>", "Incorrect comment tag at offset 3"},
        {"<a><! x></a>", "Incorrect ! tag at offset 3"},
    };
    for (const auto& c : cases) {
        XmlDocument doc;
        EXPECT_FALSE(doc.SetDocText(c.text)) << c.text;
        EXPECT_EQ(doc.GetResultText(), c.problem) << c.text;
        EXPECT_EQ(doc.CheckIndex(), "") << c.text;
    }
}

TEST(XmlParse, WellFormedDocumentsHaveNoResultText) {
    XmlDocument doc;
    EXPECT_EQ(doc.GetResultText(), "Empty document");
    EXPECT_TRUE(doc.SetDocText(
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<!DOCTYPE r [ <!ENTITY e \"<x>\"> ]>\r\n"
        "<!-- <not/> an element -->\r\n<r a='1' b=\"2\"><?pi <x/> ?><![CDATA[<y/>]]></r>\r\n"));
    EXPECT_EQ(doc.GetResultText(), "");
    ASSERT_TRUE(doc.FindElement("r"));
    EXPECT_FALSE(doc.FindChildElement());  // none of the markup inside is an element
}

TEST(XmlParse, UnendedElementKeepsItsStartTagAndItsContentMovesUp) {
    XmlDocument doc;
    doc.SetDocText("<a><b><c/>text</a>");
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.FindChildElement("b"));
    EXPECT_EQ(doc.GetChildText(), "");
    ASSERT_TRUE(doc.FindChildElement("c"));  // c follows b as a child of a
    EXPECT_EQ(doc.CheckIndex(), "");
}

TEST(XmlParse, TrailBytesNeverEndTagsOrTextRuns) {
    // 0x81 is a lead byte: the byte after it belongs to the same character.
    XmlDocument doc;
    EXPECT_TRUE(doc.SetDocText("<a x=\"\x81\"\" y='1'>\x81<b\x81/</a>"));
    ASSERT_TRUE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetAttribute("x"), "\x81\"");
    EXPECT_EQ(doc.GetAttribute("y"), "1");
    EXPECT_EQ(doc.GetText(), "\x81<b\x81/");
    EXPECT_FALSE(doc.FindChildElement());

    EXPECT_TRUE(doc.SetDocText("<\xd6\xd0\x81/></\xd6\xd0\x81/>"));  // '/' inside the name
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), "\xd6\xd0\x81/");
    EXPECT_EQ(doc.CheckIndex(), "");
}

TEST(XmlNavigate, CursorMovesAsTheCallersExpect) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText(
        "<record>\r\n<ITEM user=\"a\"/>\r\n<X/>\r\n<ITEM user=\"b\"/>\r\n</record>\r\n"));
    // Walk repeated entries inside the root.
    ASSERT_TRUE(doc.FindElement("record"));
    ASSERT_TRUE(doc.EnterElement());
    std::string users;
    while (doc.FindElement("ITEM")) users += doc.GetAttribute("user");
    EXPECT_EQ(users, "ab");
    EXPECT_EQ(doc.GetTagName(), "ITEM");  // a failed find changes nothing
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), "record");
    EXPECT_FALSE(doc.LeaveElement());

    // The same from the top with the child position.
    doc.ResetMainPosition();
    users.clear();
    while (doc.FindChildElement("ITEM")) users += doc.GetChildAttribute("user");
    EXPECT_EQ(users, "ab");
    EXPECT_EQ(doc.GetChildTagName(), "ITEM");

    doc.ResetMainPosition();
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement());  // empty name: any element
    EXPECT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("user"), "a");
    EXPECT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), "X");
    EXPECT_EQ(doc.GetAttribute("user"), "");
}

TEST(XmlRead, TextAndAttributesAreUnescaped) {
    XmlDocument doc;
    ASSERT_TRUE(
        doc.SetDocText("<r><t>a &lt;&amp;&gt;&apos;&quot; &unknown; &amp</t>"
                       "<c>&#20013;&#x6587;</c>"  // two GB2312 characters
                       "<bad>&#0;&#xD800;&#1234567;&#;&#x;&#12a;&#x4e2d</bad>"
                       "<m>x<!--c--><![CDATA[<&amp;>]]>y<?p?><![CDATA[2]]></m>"
                       "<e/><p>x<q/></p>"
                       "<at v=\"&lt;&#x41;&quot;\" w = 'x\"y' bare u=unq/></r>"));
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("t"));
    EXPECT_EQ(doc.GetText(), "a <&>'\" &unknown; &amp");
    ASSERT_TRUE(doc.FindElement("c"));
    EXPECT_EQ(doc.GetText(), "\xd6\xd0\xce\xc4");
    ASSERT_TRUE(doc.FindElement("bad"));
    EXPECT_EQ(doc.GetText(), "&#0;&#xD800;&#1234567;&#;&#x;&#12a;&#x4e2d");
    ASSERT_TRUE(doc.FindElement("m"));
    EXPECT_EQ(doc.GetText(), "<&amp;>2");  // mixed content: the CDATA sections only
    ASSERT_TRUE(doc.FindElement("e"));
    EXPECT_EQ(doc.GetText(), "");
    ASSERT_TRUE(doc.FindElement("p"));
    EXPECT_EQ(doc.GetText(), "");  // has a child element
    ASSERT_TRUE(doc.FindElement("at"));
    EXPECT_EQ(doc.GetAttribute("v"), "<A\"");
    EXPECT_EQ(doc.GetAttribute("w"), "x\"y");
    EXPECT_EQ(doc.GetAttribute("bare"), "");
    EXPECT_EQ(doc.GetAttribute("u"), "unq");
    EXPECT_EQ(doc.GetAttribute("V"), "");  // names are case-sensitive

    // The first of repeated names, in whatever order attributes are read.
    ASSERT_TRUE(doc.SetDocText("<d x='1' y='2' x='3' z='4'/>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("y"), "2");
    EXPECT_EQ(doc.GetAttribute("x"), "1");
    EXPECT_EQ(doc.GetAttribute("z"), "4");
    EXPECT_EQ(doc.GetAttribute("x"), "1");
}

// The reads that copy nothing: plain values are views into the document, values with
// references are unescaped into the caller's string, and names that share the bit of the
// quick check are still told apart.
TEST(XmlRead, AttributeViewsCopyOnlyWhatMustBeUnescaped) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<d ab='1' v=\"a&amp;b\" cb='2' ab='3' e=''/>"));
    ASSERT_TRUE(doc.FindElement());
    std::string scratch;
    const std::string_view text = doc.GetDocText();
    const std::string_view cb = doc.GetAttribute("cb", scratch);
    EXPECT_EQ(cb, "2");
    EXPECT_TRUE(cb.data() >= text.data() && cb.data() < text.data() + text.size());
    EXPECT_EQ(doc.GetAttribute("ab", scratch), "1") << "ab and cb share a length and last byte";
    EXPECT_EQ(doc.GetAttribute("v", scratch), "a&b");
    EXPECT_EQ(scratch, "a&b");
    EXPECT_EQ(doc.GetAttribute("e", scratch), "");
    EXPECT_EQ(doc.GetAttribute("missing", scratch), "");
    EXPECT_EQ(doc.GetAttribute("ab", scratch), "1");

    // A repeated name read after others gives the first.
    ASSERT_TRUE(doc.SetDocText("<d x='1' y='2' x='3'/>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x", scratch), "1");
    EXPECT_EQ(doc.GetAttribute("missing", scratch), "");  // lists the rest
    EXPECT_EQ(doc.GetAttribute("y", scratch), "2");
    EXPECT_EQ(doc.GetAttribute("x", scratch), "1");

    // A read after an edit sees the edited tag, not the last listing.
    ASSERT_TRUE(doc.SetAttribute("y", "22"));
    EXPECT_EQ(doc.GetAttribute("y", scratch), "22");
    EXPECT_EQ(doc.GetAttribute("x", scratch), "1");
}

}  // namespace
}  // namespace tarnix
