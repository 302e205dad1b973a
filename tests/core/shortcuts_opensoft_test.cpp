// data\opensoft.xml: the programs and pages opened after connecting, their editor's rules,
// and lists that are damaged, huge or not lists at all.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "shortcuts/OpenSoftList.h"
#include "TextIds.h"
#include "store/XmlDocument.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
const std::string kSite = "\xd0\xc2\xc0\xcb";  // 新浪

std::string item(const std::string& name, const std::string& path) {
    return "<ITEM>\r\n<softname>" + name + "</softname>\r\n<softpath>" + path +
           "</softpath>\r\n</ITEM>\r\n";
}

class OpenSoftFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-opensoft-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        file_ = OpenSoftList::fileIn(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& bytes) {
        fs::create_directories(file_.parent_path());
        std::ofstream(file_, std::ios::binary) << bytes;
    }
    std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string names(const OpenSoftList& list) {
        std::string s;
        for (const auto& e : list.entries()) s += e.name + ";";
        return s;
    }

    fs::path dir_;
    fs::path file_;
};

TEST_F(OpenSoftFile, TheFirstEntryCreatesTheFolderAndTheFile) {
    EXPECT_EQ(file_, dir_ / "data" / "opensoft.xml");
    OpenSoftList list(file_);
    EXPECT_FALSE(list.load());
    EXPECT_TRUE(list.entries().empty());
    EXPECT_TRUE(list.launches().empty()) << "a missing list opens nothing";

    EXPECT_EQ(list.addProgram("C:\\Program Files\\QQ\\QQ.exe"), OpenSoftList::Change::Done);
    EXPECT_EQ(read(file_), kDecl + "<soft>\r\n" + item("QQ.exe", "C:\\Program Files\\QQ\\QQ.exe") +
                               "</soft>\r\n");
    EXPECT_EQ(list.addWebPage(kSite, "http://www.sina.com.cn/"), OpenSoftList::Change::Done);
    EXPECT_EQ(names(list), "QQ.exe;" + kSite + ";");

    OpenSoftList again(file_);
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.entries().size(), 2u);
    EXPECT_EQ(again.entries()[1].path, "http://www.sina.com.cn/");
}

TEST_F(OpenSoftFile, NamesAlreadyListedAreRefusedWithTheEditorsMessages) {
    OpenSoftList list(file_);
    list.addProgram("C:\\a\\run.exe");
    list.addWebPage(kSite, "http://a.cn/");
    const std::string before = read(file_);

    const auto program = list.addProgram("D:\\other\\run.exe");
    EXPECT_EQ(program, OpenSoftList::Change::ProgramListed);
    EXPECT_EQ(OpenSoftList::message(program), IDS_OPENSOFT_PROGRAM_LISTED);
    const auto site = list.addWebPage(kSite, "http://b.cn/");
    EXPECT_EQ(site, OpenSoftList::Change::SiteListed);
    EXPECT_EQ(OpenSoftList::message(site), IDS_OPENSOFT_SITE_LISTED);
    EXPECT_EQ(OpenSoftList::message(list.addProgram("  ")), IDS_SHORTCUT_CANNOT_USE_PATH);
    EXPECT_EQ(read(file_), before);

    // A drive is named by its whole path.
    EXPECT_EQ(list.addProgram("E:\\"), OpenSoftList::Change::Done);
    EXPECT_EQ(list.entries().back().name, "E:\\");
}

TEST_F(OpenSoftFile, DeletingRemovesTheFirstEntryOfThatNameAndKeepsTheRest) {
    const std::string head = kDecl + "<!-- mine -->\r\n<soft>\r\n";
    write(head + item("a", "1") + item("b", "2") + item("a", "3") + "</soft>\r\n");
    OpenSoftList list(file_);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.remove("a"), OpenSoftList::Change::Done);
    EXPECT_EQ(read(file_), head + item("b", "2") + item("a", "3") + "</soft>\r\n");
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_EQ(list.entries()[1].path, "3");

    EXPECT_EQ(list.remove("zzz"), OpenSoftList::Change::NotFound);
    EXPECT_EQ(OpenSoftList::message(OpenSoftList::Change::NotFound), 0u);
    EXPECT_EQ(OpenSoftList(dir_ / "none.xml").remove("a"), OpenSoftList::Change::NotFound);
}

TEST_F(OpenSoftFile, LinkUpOpensEachEntryInOrderPagesWithoutTheFocus) {
    write(kDecl + "<soft>\r\n" + item("qq", "C:\\QQ.exe") + item(kSite, "http://sina.cn/") +
          item("s", "HTTPS://x.cn/") + item("empty", "  ") +
          "<ITEM><softpath>D:\\tool.exe</softpath><softname>swapped</softname></ITEM>\r\n" +
          "</soft>\r\n");
    OpenSoftList list(file_);
    ASSERT_TRUE(list.load());
    const auto launches = list.launches();
    ASSERT_EQ(launches.size(), 4u);
    EXPECT_EQ(launches[0].path, "C:\\QQ.exe");
    EXPECT_EQ(launches[0].show, OpenSoftShow::Normal);
    EXPECT_EQ(launches[1].show, OpenSoftShow::NoActivate);
    EXPECT_EQ(launches[2].show, OpenSoftShow::NoActivate);
    EXPECT_EQ(launches[3].path, "D:\\tool.exe");
    EXPECT_EQ(list.entries()[4].name, "swapped") << "either order of the children";
}

TEST_F(OpenSoftFile, ADamagedListIsKeptAsideBeforeItIsChanged) {
    const std::string damaged =
        kDecl + "<soft>\r\n" + item("a", "C:\\a.exe") + "<ITEM><softname>b</softn";
    write(damaged);
    OpenSoftList list(file_);
    EXPECT_TRUE(list.load());
    EXPECT_EQ(names(list).substr(0, 2), "a;") << "the entries before the damage";

    EXPECT_EQ(list.addWebPage(kSite, "http://sina.cn/"), OpenSoftList::Change::Done);
    fs::path aside = file_;
    aside += ".damaged";
    EXPECT_EQ(read(aside), damaged);
    XmlDocument doc;
    EXPECT_TRUE(doc.Load(file_)) << "the new list is well-formed";
    EXPECT_EQ(list.entries().front().name, "a");
    EXPECT_EQ(list.entries().back().name, kSite);

    // Another document, and binary bytes: never edited in place either.
    for (const std::string& bytes :
         {kDecl + "<CONFIG><x/></CONFIG>\r\n", std::string("\xff\xfe\0<\0s", 6)}) {
        write(bytes);
        OpenSoftList other(file_);
        EXPECT_EQ(other.addProgram("C:\\p.exe"), OpenSoftList::Change::Done);
        EXPECT_EQ(other.entries().size(), 1u);
        ASSERT_TRUE(doc.Load(file_));
    }
    fs::path third = file_;
    third += ".damaged-3";
    EXPECT_EQ(read(third), std::string("\xff\xfe\0<\0s", 6));
}

TEST_F(OpenSoftFile, AListWithoutADeclarationKeepsItsChineseTextThroughASave) {
    const std::string name = "\xb0\xa1";  // 啊, GB2312
    write("<soft>\r\n" + item(name, "C:\\a.exe") + "</soft>\r\n");
    OpenSoftList list(file_);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.addProgram("C:\\b.exe"), OpenSoftList::Change::Done);
    EXPECT_NE(read(file_).find(item(name, "C:\\a.exe")), std::string::npos) << read(file_);
    OpenSoftList again(file_);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(names(again), name + ";b.exe;");
}

TEST_F(OpenSoftFile, ListsThatCannotBeWrittenAreLeftAlone) {
    fs::create_directories(file_);  // a folder where the file should be
    OpenSoftList list(file_);
    EXPECT_FALSE(list.load());
    const auto change = list.addProgram("C:\\a.exe");
    EXPECT_EQ(change, OpenSoftList::Change::NotSaved);
    EXPECT_EQ(OpenSoftList::message(change), IDS_OPENSOFT_LIST_NOT_SAVED);
    EXPECT_EQ(list.remove("a.exe"), OpenSoftList::Change::NotSaved);
    EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(OpenSoftFile, TenThousandEntriesAndHugeTexts) {
    std::string bytes = kDecl + "<soft>\r\n";
    for (int i = 0; i < 10000; ++i) bytes += item("n" + std::to_string(i), "C:\\p.exe");
    const std::string huge(100000, '\xb0');
    bytes += item(huge, huge) + "</soft>\r\n";
    write(bytes);

    OpenSoftList list(file_);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.entries().size(), 10001u);
    EXPECT_EQ(list.entries().back().name, huge);
    EXPECT_EQ(list.addProgram("C:\\n5000"), OpenSoftList::Change::ProgramListed);
    EXPECT_EQ(list.remove("n5000"), OpenSoftList::Change::Done);
    EXPECT_EQ(list.addProgram("C:\\n5000"), OpenSoftList::Change::Done);
    EXPECT_EQ(list.entries().size(), 10001u);
    EXPECT_EQ(list.entries().back().name, "n5000");
    EXPECT_EQ(list.launches().size(), 10001u);
}

}  // namespace
}  // namespace tarnix
