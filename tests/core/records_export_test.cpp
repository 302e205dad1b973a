// The export of the listed sessions: the text of the rows, and appending it to a file in
// the file's own encoding.
#include <gtest/gtest.h>

#include "records/RecordExport.h"
#include "records/RecordQuery.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

using testing::recordItem;
using testing::recordText;

const std::string kMark = "\xef\xbb\xbf";
const std::string kZhang = "\xd5\xc5\xc8\xfd";  // 张三
const std::string kZhangUtf8 = "\xe5\xbc\xa0\xe4\xb8\x89";

class Export : public testing::RecordFolderTest {
  protected:
    void SetUp() override {
        RecordFolderTest::SetUp();
        write("2009-06.xml", recordText(recordItem(kZhang, "2009-06-01 08:00:00",
                                                   "2009-06-01 08:01:05", "10.0.0.1", "1", "2") +
                                        recordItem("bob", "2009-06-02 08:00:00",
                                                   "2009-06-02 08:00:09", "", "", "")));
        table_ = query_.fullRefresh();
    }
    const std::string line1 = "1\t" + kZhang +
                              "\t2009-06-01 08:00:00\t1\xb7\xd6\xd6\xd3"
                              "5\xc3\xeb"
                              "\t10.0.0.1\t" +
                              testing::kNormalCause + "\t1\t2\r\n";
    const std::string line2 =
        "2\tbob\t2009-06-02 08:00:00\t9\xc3\xeb\t\t" + testing::kNormalCause + "\t\t\r\n";

    RecordFolder folder_{dir_};
    RecordQuery query_{folder_};
    RecordTable table_;
};

TEST_F(Export, EightCellsWithTabsAndLineBreaks) {
    EXPECT_EQ(RecordExport::lines(table_), line1 + line2);
    table_.removeRows({0});
    EXPECT_EQ(RecordExport::lines(table_), line2);
}

TEST_F(Export, NewFilesAreGb2312AndExistingOnesKeepTheirEncoding) {
    EXPECT_EQ(RecordExport::appended("", kZhang + "\t9\xc3\xeb\r\n"),
              kZhang + "\t9\xc3\xeb\r\n");  // 张三 9秒, no byte-order mark
    EXPECT_EQ(RecordExport::appended(kMark, kZhang), kMark + kZhangUtf8);
    EXPECT_EQ(RecordExport::encodingFor(kMark + "a"), TextEncoding::Utf8WithMark);
    EXPECT_EQ(RecordExport::encodingFor("plain ascii\r\n"), TextEncoding::Gb2312);
    EXPECT_EQ(RecordExport::encodingFor(kZhangUtf8), TextEncoding::Utf8);
    EXPECT_EQ(RecordExport::encodingFor(kZhang), TextEncoding::Gb2312);
    EXPECT_EQ(RecordExport::encodingFor("\xff\xfe"), TextEncoding::Utf16Le);
    EXPECT_EQ(RecordExport::encodingFor("\xfe\xff"), TextEncoding::Utf16Be);

    // An older export in GB2312 gets GB2312, after a line break its last line lacked.
    EXPECT_EQ(RecordExport::appended(kZhang, "x\r\n"), kZhang + "\r\nx\r\n");
    EXPECT_EQ(RecordExport::appended(kZhang + "\r\n", kZhang), kZhang + "\r\n" + kZhang);
    EXPECT_EQ(RecordExport::appended("a\n", kZhang), "a\n" + kZhang);
    EXPECT_EQ(RecordExport::appended(kZhangUtf8 + "\n", kZhang), kZhangUtf8 + "\n" + kZhangUtf8);
    EXPECT_EQ(RecordExport::appended(std::string("\xff\xfe"
                                                 "a\0",
                                                 4),
                                     kZhang + "\r\n"),
              std::string("\xff\xfe"
                          "a\0\r\0\n\0\x20\x5f\x09\x4e\r\0\n\0",
                          16));
    EXPECT_EQ(RecordExport::appended(std::string("\xfe\xff\0\n", 4), kZhang),
              std::string("\xfe\xff\0\n\x5f\x20\x4e\x09", 8));
}

TEST_F(Export, AppendsToTheChosenFile) {
    ASSERT_EQ(RecordExport::appendTo(dir_ / "out.txt", table_), "");
    const std::string first = read("out.txt");
    EXPECT_EQ(first, line1 + line2);
    ASSERT_EQ(RecordExport::appendTo(dir_ / "out.txt", table_), "");
    EXPECT_EQ(read("out.txt"), first + first);

    // A read-only file is refused and left as it was.
    write("locked.txt", "keep");
    std::filesystem::permissions(dir_ / "locked.txt", std::filesystem::perms::owner_read);
    EXPECT_NE(RecordExport::appendTo(dir_ / "locked.txt", table_), "");
    EXPECT_EQ(read("locked.txt"), "keep");
    // So is a file in a folder that does not exist.
    EXPECT_NE(RecordExport::appendTo(dir_ / "missing" / "out.txt", table_), "");
}

}  // namespace
}  // namespace tarnix
