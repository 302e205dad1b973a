// Editing: new elements on lines of their own, values, attributes and removal, checked
// byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/XmlDocument.h"

namespace tarnix {
namespace {

const char kDecl[] = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";

// Every edit must leave the index matching the text.
#define EXPECT_TEXT(doc, expected)               \
    do {                                         \
        EXPECT_EQ((doc).GetDocText(), expected); \
        EXPECT_EQ((doc).CheckIndex(), "");       \
    } while (0)

TEST(XmlEdit, ChildAddedToEmptyElementTag) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<a/>"));
    ASSERT_TRUE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetText(), "");
    ASSERT_TRUE(doc.AddChildElement("b"));
    EXPECT_TEXT(doc, "<a>\r\n<b/>\r\n</a>");
    EXPECT_EQ(doc.GetChildTagName(), "b");

    ASSERT_TRUE(doc.SetDocText("<a x=\"1\" />"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.AddChildElement("b", 7));
    EXPECT_TEXT(doc, "<a x=\"1\" >\r\n<b>7</b>\r\n</a>");

    ASSERT_TRUE(doc.SetDocText("<a x='1'//>"));  // every '/' goes, or it would stay empty
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.AddChildElement("b"));
    EXPECT_TEXT(doc, "<a x='1'>\r\n<b/>\r\n</a>");
    ASSERT_TRUE(doc.SetDocText("<a//>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetText("v"));
    EXPECT_TEXT(doc, "<a>v</a>");

    ASSERT_TRUE(doc.SetDocText("<a></a>"));  // adjacent tags: a line break goes first
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.AddChildElement("b"));
    EXPECT_TEXT(doc, "<a>\r\n<b/>\r\n</a>");
}

TEST(XmlEdit, NewFileAndEntriesAtTopAndEnd) {
    XmlDocument doc;
    doc.SetDocText(kDecl);
    ASSERT_TRUE(doc.AddElement("record"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement("ITEM"));
    ASSERT_TRUE(doc.SetAttribute("user", "u1"));
    ASSERT_TRUE(doc.SetAttribute("end_time", ""));
    ASSERT_TRUE(doc.LeaveElement());
    const std::string oneItem =
        std::string(kDecl) + "<record>\r\n<ITEM user=\"u1\" end_time=\"\"/>\r\n</record>\r\n";
    EXPECT_TEXT(doc, oneItem);
    EXPECT_TRUE(doc.IsWellFormed());

    // A new record goes before all others.
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("record"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.InsertElement("ITEM"));
    ASSERT_TRUE(doc.SetAttribute("user", "u2"));
    EXPECT_TEXT(doc, std::string(kDecl) +
                         "<record>\r\n<ITEM user=\"u2\"/>\r\n"
                         "<ITEM user=\"u1\" end_time=\"\"/>\r\n</record>\r\n");

    // Appended after the last one.
    doc.ResetMainPosition();
    while (doc.FindElement("ITEM")) {
    }
    ASSERT_TRUE(doc.AddElement("ITEM", "v"));
    EXPECT_TEXT(doc, std::string(kDecl) +
                         "<record>\r\n<ITEM user=\"u2\"/>\r\n"
                         "<ITEM user=\"u1\" end_time=\"\"/>\r\n"
                         "<ITEM>v</ITEM>\r\n</record>\r\n");

    // At the end of the parent's content when there is no main position.
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.AddElement("Z"));
    EXPECT_TEXT(doc, std::string(kDecl) +
                         "<record>\r\n<ITEM user=\"u2\"/>\r\n"
                         "<ITEM user=\"u1\" end_time=\"\"/>\r\n"
                         "<ITEM>v</ITEM>\r\n<Z/>\r\n</record>\r\n");
}

TEST(XmlEdit, NewElementsStandOnTheirOwnLines) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<r><a/><b/></r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.AddElement("n"));  // after a, on the same line as b
    EXPECT_TEXT(doc, "<r><a/>\r\n<n/>\r\n<b/></r>");
    ASSERT_TRUE(doc.FindElement("b"));
    ASSERT_TRUE(doc.InsertElement("m"));  // before b, which is on the line of n
    EXPECT_TEXT(doc, "<r><a/>\r\n<n/>\r\n<m/>\r\n<b/></r>");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.AddChildElement("z"));  // after the child position, m
    EXPECT_TEXT(doc, "<r><a/>\r\n<n/>\r\n<m/>\r\n<z/>\r\n<b/></r>");
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.AddChildElement("y"));  // end of content, after b on its line
    EXPECT_TEXT(doc, "<r><a/>\r\n<n/>\r\n<m/>\r\n<z/>\r\n<b/>\r\n<y/>\r\n</r>");

    // Indented files keep the end tag's indentation.
    ASSERT_TRUE(doc.SetDocText("<r>\r\n  <a/>\r\n  </r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.AddChildElement("b"));
    EXPECT_TEXT(doc, "<r>\r\n  <a/>\r\n<b/>\r\n  </r>");
}

TEST(XmlEdit, TextValuesAreEscapedAndReadBack) {
    const std::string value = "a<b & 'c' \"d\" >\xd6\xd0";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<r/>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetText(value));
    EXPECT_TEXT(doc, "<r>a&lt;b &amp; 'c' \"d\" &gt;\xd6\xd0</r>");
    EXPECT_EQ(doc.GetText(), value);
    ASSERT_TRUE(doc.SetAttribute("v", value));
    EXPECT_TEXT(doc,
                "<r v=\"a&lt;b &amp; &apos;c&apos; &quot;d&quot; &gt;\xd6\xd0\">"
                "a&lt;b &amp; 'c' \"d\" &gt;\xd6\xd0</r>");
    EXPECT_EQ(doc.GetAttribute("v"), value);

    ASSERT_TRUE(doc.SetText(42));
    ASSERT_TRUE(doc.SetAttribute("v", -3));
    EXPECT_TEXT(doc, "<r v=\"-3\">42</r>");
    ASSERT_TRUE(doc.SetText(""));
    EXPECT_TEXT(doc, "<r v=\"-3\"></r>");

    // Replacing keeps the quote style; unquoted and bare attributes get quotes.
    ASSERT_TRUE(doc.SetDocText("<r a='1' b=2 c/>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.SetAttribute("a", "x"));
    ASSERT_TRUE(doc.SetAttribute("b", "y"));
    ASSERT_TRUE(doc.SetAttribute("c", "z"));
    EXPECT_TEXT(doc, "<r a='x' b=\"y\" c=\"z\"/>");

    // A trailing lone lead byte cannot be written: it would swallow the delimiter.
    ASSERT_TRUE(doc.SetText("x\x81"));
    EXPECT_TEXT(doc, "<r a='x' b=\"y\" c=\"z\">x?</r>");
}

TEST(XmlEdit, RefusesWhatCannotBeWritten) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<r><c/></r>"));
    EXPECT_FALSE(doc.SetText("x"));  // no main position
    EXPECT_FALSE(doc.SetAttribute("a", "x"));
    EXPECT_FALSE(doc.AddChildElement("x"));
    EXPECT_FALSE(doc.RemoveElement());
    EXPECT_FALSE(doc.RemoveChildElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_FALSE(doc.SetText("x"));  // has a child element
    for (const char* bad : {"", "1a", "a b", "a/", "a>", "a=", "a\"", "<a", "a\x81"}) {
        EXPECT_FALSE(doc.AddElement(bad)) << bad;
        EXPECT_FALSE(doc.SetAttribute(bad, "x")) << bad;
    }
    EXPECT_TEXT(doc, "<r><c/></r>");
}

TEST(XmlEdit, RemovalTakesTheFollowingWhitespace) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<r>\r\n<a/>\r\n<b>x</b>  \r\n<a/>text\r\n<c/>\r\n</r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    int removed = 0;
    while (doc.FindElement("a")) {
        ASSERT_TRUE(doc.RemoveElement());
        ++removed;
    }
    EXPECT_EQ(removed, 2);
    EXPECT_TEXT(doc, "<r>\r\n<b>x</b>  \r\ntext\r\n<c/>\r\n</r>");
    ASSERT_TRUE(doc.FindElement("c"));
    ASSERT_TRUE(doc.RemoveElement());
    EXPECT_EQ(doc.GetTagName(), "b");  // main moves to the previous sibling
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetChildTagName(), "b");
    ASSERT_TRUE(doc.RemoveChildElement());
    EXPECT_EQ(doc.GetChildTagName(), "");
    EXPECT_TEXT(doc, "<r>\r\n  \r\ntext\r\n</r>");

    // Removed records are reused.
    ASSERT_TRUE(doc.AddChildElement("n", "1"));
    EXPECT_TEXT(doc, "<r>\r\n  \r\ntext\r\n<n>1</n>\r\n</r>");
}

TEST(XmlEdit, UnendedElementGetsItsEndTagWhenWritten) {
    XmlDocument doc;
    doc.SetDocText("<CONFIG><A>1</A>");
    ASSERT_TRUE(doc.FindElement("CONFIG"));
    ASSERT_TRUE(doc.AddChildElement("B", "2"));
    EXPECT_TEXT(doc, "<CONFIG>\r\n<B>2</B>\r\n</CONFIG><A>1</A>");
    doc.SetDocText(doc.GetDocText());
    ASSERT_TRUE(doc.FindElement("CONFIG"));
    ASSERT_TRUE(doc.FindChildElement("B"));  // still inside after parsing again
}

// Edits move only the index entries behind them; wherever an edit falls (before, inside
// or after nested elements, at the top or the end of a long list), the index must stay
// what a fresh parse of the edited text makes.
TEST(XmlEdit, EditsAnywhereLeaveTheIndexAFreshParseWouldMake) {
    std::string text = std::string(kDecl) + "<r>\r\n<a k='1'>\r\n<b><c>x</c></b>\r\n</a>\r\n";
    for (int i = 0; i < 40; ++i) text += "<ITEM n=\"" + std::to_string(i) + "\"><s/></ITEM>\r\n";
    text += "<z>t</z>\r\n</r>\r\n";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText(text));
    auto same = [&](const char* step) {
        XmlDocument fresh;
        fresh.SetDocText(doc.GetDocText());
        EXPECT_EQ(doc.CheckIndex(), "") << step;
        EXPECT_EQ(doc.IndexSummary(), fresh.IndexSummary()) << step;
    };
    ASSERT_TRUE(doc.FindElement("r") && doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.SetAttribute("k", "longer value"));  // in a start tag with children behind
    same("attribute of a parent");
    ASSERT_TRUE(doc.EnterElement() && doc.FindElement("b") && doc.FindChildElement("c"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.SetText("a much longer text"));  // deep inside, everything after moves
    same("text deep inside");
    while (doc.LeaveElement()) {
    }
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("r") && doc.EnterElement() && doc.FindElement("a"));
    ASSERT_TRUE(doc.InsertElement("top", "1"));
    same("insert at the top");
    while (doc.FindElement()) {
    }
    ASSERT_TRUE(doc.AddElement("end"));
    ASSERT_TRUE(doc.SetAttribute("v", "x"));
    same("append at the end");
    doc.ResetMainPosition();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(doc.FindElement("ITEM"));
    ASSERT_TRUE(doc.AddChildElement("t", "new"));
    ASSERT_TRUE(doc.RemoveElement());
    same("child added, then its parent removed");
    ASSERT_TRUE(doc.FindElement("ITEM"));
    ASSERT_TRUE(doc.SetAttribute("n", ""));
    same("a value shortened in the middle");
    ASSERT_TRUE(doc.FindElement("z"));
    EXPECT_EQ(doc.GetText(), "t");
}

// Edits inside one element in a row may leave the rest of the index to be moved later.
// Whatever comes next must find every element where the text has it: the document runs
// random steps beside a twin that settles its index after each (its self check does),
// and both must answer and write alike.
TEST(XmlEdit, StepsAfterEditsInARowSeeWhatATwinSettledAfterEachSees) {
    std::string text = std::string(kDecl) + "<r>\r\n";
    for (int i = 0; i < 12; ++i)
        text += "<ITEM n=\"" + std::to_string(i) + "\"" +
                (i % 3 ? "/>" : "><s a='" + std::to_string(i) + "'/></ITEM>") + "\r\n";
    text += "<z/>\r\n</r>\r\n";
    std::mt19937 rng(36);
    const char* const names[] = {"ITEM", "s", "n", "a", "z", ""};
    for (int run = 0; run < 200; ++run) {
        XmlDocument doc, twin;
        for (XmlDocument* d : {&doc, &twin})
            ASSERT_TRUE(d->SetDocText(text) && d->FindElement("r") && d->EnterElement());
        std::string steps;
        for (int step = 0; step < 40; ++step) {
            const unsigned op = rng() % 14;
            const std::string name = names[rng() % std::size(names)];
            const std::string value(rng() % 12, static_cast<char>('a' + rng() % 26));
            steps += std::to_string(op) + name + " ";
            auto both = [&](auto act) {
                const auto mine = act(doc);
                EXPECT_EQ(mine, act(twin)) << steps;
                EXPECT_EQ(twin.CheckIndex(), "") << steps;
            };
            switch (op) {
                case 0: both([&](XmlDocument& d) { return d.FindElement(name); }); break;
                case 1: both([&](XmlDocument& d) { return d.FindChildElement(name); }); break;
                case 2: both([&](XmlDocument& d) { return d.EnterElement(); }); break;
                case 3: both([&](XmlDocument& d) { return d.LeaveElement(); }); break;
                case 4: both([&](XmlDocument& d) { return d.SetAttribute(name, value); }); break;
                case 5: both([&](XmlDocument& d) { return d.SetText(value); }); break;
                case 6: both([&](XmlDocument& d) { return d.AddElement(name, value); }); break;
                case 7: both([&](XmlDocument& d) { return d.InsertElement(name, value); }); break;
                case 8: both([&](XmlDocument& d) { return d.AddChildElement(name, value); }); break;
                case 9: both([&](XmlDocument& d) { return d.RemoveElement(); }); break;
                case 10: both([&](XmlDocument& d) { return d.RemoveChildElement(); }); break;
                case 11: both([&](XmlDocument& d) { d.ResetMainPosition(); return true; }); break;
                case 12:
                    both([&](XmlDocument& d) {
                        return d.GetAttribute(name) + "|" + d.GetChildAttribute(name) + "|" +
                               d.GetText() + "|" + d.GetTagName() + "|" + d.GetChildTagName();
                    });
                    break;
                default: both([&](XmlDocument& d) { return std::string(d.GetDocText()); }); break;
            }
            if (::testing::Test::HasFailure()) return;
        }
        XmlDocument fresh;
        fresh.SetDocText(doc.GetDocText());
        ASSERT_EQ(doc.GetDocText(), twin.GetDocText()) << steps;
        ASSERT_EQ(doc.IndexSummary(), fresh.IndexSummary()) << steps;
    }
}

}  // namespace
}  // namespace tarnix
