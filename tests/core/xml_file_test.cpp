// Load and Save: bytes, encodings and result texts.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "store/XmlDocument.h"
#include "store/XmlFileLoad.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

class XmlFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarnix-xml-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
};

TEST_F(XmlFile, Gb2312DocumentIsSavedUnchangedExceptWhereEdited) {
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<!-- \xd7\xa2\xca\xcd -->\r\n"
        "<record>\r\n";
    const std::string tail =
        "<ITEM   user='\xd5\xc5\xc8\xfd'  start_time=\"2009-03-01 08:05:09\"\tip=\"\" />\r\n"
        "\t<note>\xc4\xda\xc8\xdd &amp; more</note>\r\n</record>\r\n";
    const fs::path file = write("2009-03.xml", head + tail);

    XmlDocument doc;
    ASSERT_TRUE(doc.Load(file));
    EXPECT_EQ(doc.GetResultText(), std::to_string(head.size() + tail.size()) + " bytes");
    ASSERT_TRUE(doc.FindElement("record"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("ITEM"));
    EXPECT_EQ(doc.GetAttribute("user"), "\xd5\xc5\xc8\xfd");
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.InsertElement("ITEM"));
    ASSERT_TRUE(doc.SetAttribute("user", "\xc0\xee\xcb\xc4"));
    const std::string added = "<ITEM user=\"\xc0\xee\xcb\xc4\"/>\r\n";

    ASSERT_TRUE(doc.Save(file));
    EXPECT_EQ(read(file), head + added + tail);
    EXPECT_EQ(doc.GetResultText(),
              std::to_string(head.size() + added.size() + tail.size()) + " bytes");
}

TEST_F(XmlFile, FilesWithoutDeclarationAreUtf8OnDisk) {
    const std::string utf8 = "\xEF\xBB\xBF<a>\xe4\xb8\xad\xe6\x96\x87</a>";  // BOM, "中文"
    const fs::path file = write("u.xml", utf8);
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(file));
    ASSERT_TRUE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetText(), "\xd6\xd0\xce\xc4");
    ASSERT_TRUE(doc.Save(file));
    EXPECT_EQ(read(file), utf8);

    const fs::path declared =
        write("d.xml", "<?xml version='1.0' encoding='utf-8'?><a>\xe6\x96\x87</a>");
    ASSERT_TRUE(doc.Load(declared));
    ASSERT_TRUE(doc.FindElement("a"));
    EXPECT_EQ(doc.GetText(), "\xce\xc4");
}

// A conversion that would turn characters into '?' never happens: the next save would
// write the '?' back over the subscriber's text.
TEST_F(XmlFile, NoCharacterIsLostToTheConversion) {
    // No declaration and not UTF-8: the program's own GB2312 ("啊"), saved as it came.
    const std::string gb = "<CONFIG>\xb0\xa1</CONFIG>";
    const fs::path file = write("gb.xml", gb);
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(file));
    ASSERT_TRUE(doc.FindElement("CONFIG"));
    EXPECT_EQ(doc.GetText(), "\xb0\xa1");
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement("k", "\xd6\xd0"));  // 中
    ASSERT_TRUE(doc.Save(file));
    EXPECT_EQ(read(file), "<CONFIG>\xb0\xa1\r\n<k>\xd6\xd0</k>\r\n</CONFIG>");
    ASSERT_TRUE(doc.Load(file));
    ASSERT_TRUE(doc.FindElement("CONFIG"));
    ASSERT_TRUE(doc.FindChildElement("k"));
    EXPECT_EQ(doc.GetChildText(), "\xd6\xd0");
    ASSERT_TRUE(doc.SetDocText("<a/>"));
    ASSERT_TRUE(doc.Save(file));
    EXPECT_EQ(read(file), "<a/>") << "a new text is written as UTF-8 again";

    // Files that cannot be converted whole are not well-formed; the file is left alone.
    const std::pair<std::string, std::string> lossy[] = {
        {"<?xml version='1.0' encoding='UTF-8'?><a>\xb0\xa1</a>", "not UTF-8"},
        {"<?xml encoding=\"utf-8\"?><a>\xed\xa0\x80</a>", "not UTF-8"},  // a surrogate
        {"\xEF\xBB\xBF<a>\xb0\xa1</a>", "not UTF-8"},
        {"<a>\xf0\x9f\x98\x80</a>", "characters outside GB2312"},  // U+1F600
    };
    for (const auto& [bytes, problem] : lossy) {
        const fs::path lossyFile = write("lossy.xml", bytes);
        EXPECT_FALSE(doc.Load(lossyFile)) << bytes;
        EXPECT_NE(doc.GetResultText().find(problem), std::string::npos) << doc.GetResultText();
        EXPECT_EQ(read(lossyFile), bytes);
    }
}

// Bytes that parse as they lie on disk but not as the load decodes them, or the other way
// round, are told as the load finds them: whole or damaged, never as a file that could
// not be read (that would keep a damaged config.xml in place and the program read-only).
TEST_F(XmlFile, TheLoaderJudgesDamageAsTheLoadDecodes) {
    const char alphabet[] = {'<', '>', '"', '\xb0', '\xa1', '\xc3', '\xa9', '\xe4', '\xb8', '\xad'};
    std::vector<std::string> middles{""};
    for (size_t begin = 0, length = 1; length <= 3; ++length) {
        const size_t end = middles.size();
        for (size_t i = begin; i < end; ++i)
            for (char c : alphabet) middles.push_back(middles[i] + c);
        begin = end;
    }
    int loadsOnlyRaw = 0, loadsOnlyDecoded = 0;
    const fs::path file = dir_ / "c.xml";
    for (const std::string& middle : middles) {
        const std::string bytes = "<a>" + middle + "</a>";
        XmlDocument raw, decoded;
        const bool rawWhole = raw.SetDocText(bytes);
        const bool decodedWhole = decoded.LoadBytes(bytes);
        if (rawWhole == decodedWhole) continue;
        (rawWhole ? loadsOnlyRaw : loadsOnlyDecoded)++;
        write("c.xml", bytes);
        XmlDocument doc;
        EXPECT_EQ(loadXmlFile(doc, file, "a"),
                  decodedWhole ? XmlFileState::Loaded : XmlFileState::Damaged)
            << ::testing::PrintToString(bytes);
    }
    EXPECT_GT(loadsOnlyRaw, 0);
    EXPECT_GT(loadsOnlyDecoded, 0);
}

TEST_F(XmlFile, LoadResultCarriesTheParseProblem) {
    const fs::path file = write("bad.xml", "<?xml version=\"1.0\" encoding=\"GB2312\"?><a><b></a>");
    XmlDocument doc;
    EXPECT_FALSE(doc.Load(file));
    EXPECT_EQ(doc.GetResultText(), "49 bytes, Element 'b' at offset 42 not ended");

    const fs::path empty = write("empty.xml", "");
    EXPECT_FALSE(doc.Load(empty));
    EXPECT_EQ(doc.GetResultText(), "0 bytes, Empty document");
    ASSERT_TRUE(doc.Save(dir_ / "out.xml"));  // an empty document makes an empty file
    EXPECT_EQ(read(dir_ / "out.xml"), "");
    EXPECT_EQ(doc.GetResultText(), "0 bytes");
}

TEST_F(XmlFile, FailuresLeaveDocumentAndFileAlone) {
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocText("<keep/>"));
    EXPECT_FALSE(doc.Load(dir_ / "missing.xml"));
    EXPECT_FALSE(doc.GetResultText().empty());
    EXPECT_EQ(doc.GetDocText(), "<keep/>");
    EXPECT_FALSE(doc.Save(dir_ / "no-such-folder" / "x.xml"));
    EXPECT_FALSE(doc.GetResultText().empty());
    EXPECT_EQ(doc.GetDocText(), "<keep/>");
    // A folder in place of the file: the save fails and the folder stays.
    fs::create_directories(dir_ / "taken.xml" / "inner");
    EXPECT_FALSE(doc.Save(dir_ / "taken.xml"));
    EXPECT_TRUE(fs::is_directory(dir_ / "taken.xml" / "inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

}  // namespace
}  // namespace tarnix
