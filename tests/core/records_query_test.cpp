// The record folder walk, the file choice by the four filters, the row filter, the rows
// and totals of a query, and record files that are not what they should be.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "records/RecordQuery.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

using testing::kAll;
using testing::recordItem;
using testing::recordText;

const std::string kZhang = "\xd5\xc5\xc8\xfd";  // 张三

RecordFilter filter(const std::string& account, const std::string& year, const std::string& month,
                    const std::string& day) {
    return {account, year, month, day};
}

class Query : public testing::RecordFolderTest {
  protected:
    std::vector<std::string> stems(const RecordFilter& f) const {
        std::vector<std::string> out;
        for (const auto& e : folder_.choose(f)) out.push_back(e.stem);
        return out;
    }
    // Column `column` of every row.
    static std::vector<std::string> column(const RecordTable& t, int column) {
        std::vector<std::string> out;
        for (size_t i = 0; i < t.size(); ++i) out.push_back(t.cell(i, column));
        return out;
    }
    using Strings = std::vector<std::string>;

    RecordFolder folder_{dir_};
    RecordQuery query_{folder_};
};

TEST_F(Query, FilesAreChosenByYearAndMonth) {
    for (const char* name : {"2009-06.xml", "2009-01.xml", "2010-06.XML", "2009-backup.xml",
                             "2005-03.xml", "2009-06.xml.damaged", "2009-06.xml.damaged-2",
                             "notes.txt", "2009-06.xml.4711.0.tmp", "2009-06.xml.damagedX"})
        write(name, "");
    std::filesystem::create_directories(dir_ / "2009-07.xml");  // a folder is no file

    EXPECT_EQ(
        stems(filter(kAll, kAll, kAll, kAll)),
        (Strings{"2005-03", "2009-01", "2009-06", "2009-06", "2009-06", "2009-backup", "2010-06"}));
    EXPECT_EQ(stems(filter(kAll, "2009", kAll, kAll)),
              (Strings{"2009-01", "2009-06", "2009-06", "2009-06", "2009-backup"}));
    EXPECT_EQ(stems(filter(kAll, kAll, "06", kAll)),
              (Strings{"2009-06", "2009-06", "2009-06", "2010-06"}));
    EXPECT_EQ(stems(filter(kAll, "2009", "06", kAll)), (Strings{"2009-06", "2009-06", "2009-06"}));
    EXPECT_EQ(stems(filter(kAll, "2011", "06", kAll)), Strings{});
    EXPECT_TRUE(RecordFolder(dir_ / "missing").files().empty());
}

TEST_F(Query, YearListRunsToThisYearAndLaterFiles) {
    write("2031-02.xml", "");
    write("2005-02.xml", "");
    write("20999-01.xml", "");
    const auto years = folder_.yearChoices(2026);
    ASSERT_EQ(years.size(), 1u + (2026 - 2009 + 1) + 1);
    EXPECT_EQ(years.front(), kAll);
    EXPECT_EQ(years[1], "2009");
    EXPECT_EQ(years[years.size() - 2], "2026");
    EXPECT_EQ(years.back(), "2031");
    EXPECT_EQ(monthChoices().size(), 13u);
    EXPECT_EQ(monthChoices()[1], "01");
    EXPECT_EQ(dayChoices().back(), "31");
}

TEST_F(Query, FinishedSessionsOnlyWithNumbersRunningAcrossFiles) {
    write("2009-05.xml", recordText(recordItem("alice", "2009-05-02 10:00:00",
                                               "2009-05-02 11:02:05", "10.0.0.5", "1000", "2000") +
                                    recordItem("open", "2009-05-01 09:00:00", "")));
    write("2009-06.xml",
          recordText(recordItem("open", "2009-06-30 23:00:00", "") +
                     recordItem(kZhang, "2009-06-03 08:00:00", "2009-06-03 08:00:40", "", "", "") +
                     recordItem("alice", "2009-06-02 08:00:00", "2009-06-02 08:00:30")));
    const RecordTable t = query_.run(RecordFilter{});
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(column(t, kNumberColumn), (Strings{"1", "2", "3"}));
    EXPECT_EQ(column(t, kUserColumn), (Strings{"alice", kZhang, "alice"}));
    const Strings first = {"1",
                           "alice",
                           "2009-05-02 10:00:00",
                           "1\xd0\xa1\xca\xb1"
                           "2\xb7\xd6\xd6\xd3"
                           "5\xc3\xeb",
                           "10.0.0.5",
                           testing::kNormalCause,
                           "1000",
                           "2000"};
    for (int c = 0; c < kRecordColumnCount; ++c) EXPECT_EQ(t.cell(0, c), first[c]) << c;
    EXPECT_EQ(t.totals().count(), 3);
    EXPECT_EQ(t.totals().seconds(), 3725 + 40 + 30);
    EXPECT_EQ(t.totals().bytes(), 3000 + 300);
    EXPECT_EQ(t.row(1).place, 1u);  // the open session above it still counts a place
    EXPECT_EQ(t.fileOf(1).path(), dir_ / "2009-06.xml");

    // A full refresh lists the same, whatever a query filtered before.
    EXPECT_EQ(column(query_.fullRefresh(), kStartColumn), column(t, kStartColumn));
    // An open session is never listed, whatever the filters.
    EXPECT_TRUE(query_.run(filter("open", kAll, kAll, kAll)).empty());
}

TEST_F(Query, AccountAndDayFilters) {
    write("2009-06.xml",
          recordText(recordItem("alice", "2009-06-05 23:30:00", "2009-06-06 00:30:00") +
                     recordItem("Alice", "2009-06-05 08:00:00", "2009-06-05 09:00:00") +
                     recordItem("bob", "2009-06-06 08:00:00", "2009-06-06 09:00:00") +
                     recordItem("alice", "2009-6-5 8:00:00", "2009-06-05 09:00:00")));
    // Over midnight a session counts for the day it began; the day is read at positions
    // 9 and 10 of the start time as stored.
    EXPECT_EQ(column(query_.run(filter(kAll, kAll, kAll, "05")), kUserColumn),
              (Strings{"alice", "Alice"}));
    EXPECT_EQ(column(query_.run(filter(kAll, kAll, kAll, "06")), kUserColumn), (Strings{"bob"}));
    EXPECT_EQ(column(query_.run(filter("alice", kAll, kAll, kAll)), kStartColumn),
              (Strings{"2009-06-05 23:30:00", "2009-6-5 8:00:00"}));
    EXPECT_EQ(column(query_.run(filter("alice", "2009", "06", "05")), kNumberColumn),
              (Strings{"1"}));
    // A query that lists nothing shows totals of nothing.
    const RecordTable none = query_.run(filter("carol", "2011", "01", kAll));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.totals().count(), 0);
}

TEST_F(Query, AccountListHoldsEveryAccountOnceInOrderOfFirstAppearance) {
    write("2009-05.xml",
          recordText(recordItem("bob", "2009-05-02 10:00:00", "") +
                     recordItem(kZhang, "2009-05-01 10:00:00", "2009-05-01 11:00:00")));
    write("2009-06.xml",
          recordText(recordItem("alice", "2009-06-02 10:00:00", "2009-06-02 11:00:00") +
                     recordItem("bob", "2009-06-01 10:00:00", "2009-06-01 11:00:00") +
                     recordItem("Bob", "2009-06-01 10:00:00", "2009-06-01 11:00:00")));
    write("junk.xml", "\x01\x02 not xml");
    EXPECT_EQ(folder_.accountNames(), (Strings{"bob", kZhang, "alice", "Bob"}));
}

TEST_F(Query, DamagedFilesListWhatIsReadable) {
    const std::string good = recordItem("good", "2009-01-01 10:00:00", "2009-01-01 10:00:10");
    // Cut short in the middle of a record.
    write("2009-01.xml",
          recordText(good).substr(0, recordText(good).size() - 12) + good.substr(0, 30));
    // Cut after a record: `record` never ends.
    write("2009-02.xml", testing::kRecordDecl + "<record>\r\n" + good + good);
    // Garbage between records and after the root.
    write("2009-03.xml", recordText(good + "<<>>&&\"\r\n" + good) + "tail <ITEM");
    // Binary noise, with and without record-like pieces in it.
    std::mt19937 random(7);
    std::string noise(1 << 16, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    write("2009-04.xml", noise);
    std::string prefix = noise.substr(0, 5000);
    for (char& c : prefix)
        if (c == '<') c = ' ';
    write("2009-05.xml", prefix + "\n<record>" + good + noise.substr(5000));
    // Missing attributes, non-numeric counters and times that are no times.
    write("2009-07.xml",
          recordText("<ITEM user=\"nostart\" end_time=\"2009-07-01 10:00:00\"/>\r\n"
                     "<ITEM user=\"noend\" start_time=\"2009-07-01 10:00:00\"/>\r\n"
                     "<ITEM/>\r\n" +
                     recordItem("words", "2009-07-02 10:00:00", "2009-07-02 10:01:00", "ip", "lots",
                                "-12x") +
                     recordItem("badtime", "yesterday", "2009-07-02 10:01:00") +
                     recordItem("backwards", "2009-07-02 10:01:00", "2009-07-02 10:00:00")));
    write("2009-08.xml", "");
    const RecordTable t = query_.fullRefresh();
    EXPECT_EQ(column(t, kUserColumn), (Strings{"good", "good", "good", "good", "good", "good",
                                               "nostart", "words", "badtime", "backwards"}));
    EXPECT_EQ(column(t, kDurationColumn), (Strings{"10\xc3\xeb", "10\xc3\xeb", "10\xc3\xeb",
                                                   "10\xc3\xeb", "10\xc3\xeb", "10\xc3\xeb", "",
                                                   "1\xb7\xd6\xd6\xd3"
                                                   "0\xc3\xeb",
                                                   "", ""}));
    EXPECT_EQ(column(t, kSentColumn).back(), "100");
    EXPECT_EQ(t.cell(7, kSentColumn), "lots");
    EXPECT_EQ(t.totals().count(), 10);
    EXPECT_EQ(t.totals().seconds(), 6 * 10 + 60);
    // "-12x" is a wrapped counter of 4294967284 bytes; "lots" counts nothing.
    EXPECT_EQ(t.totals().bytes(), 6 * 300 + 4294967284LL + 2 * 300);
}

TEST_F(Query, HugeValuesAndFilesAreRead) {
    const std::string longName(4 << 20, 'x');
    std::string items = recordItem(longName, "2009-01-01 10:00:00", "2009-01-01 10:00:01");
    for (int i = 0; i < 50000; ++i)
        items += recordItem("u" + std::to_string(i), "2009-01-01 10:00:00", "2009-01-01 10:00:01");
    write("2009-01.xml", recordText(items));
    const RecordTable t = query_.fullRefresh();
    ASSERT_EQ(t.size(), 50001u);
    EXPECT_EQ(t.field(0, RecordField::User).size(), longName.size());
    EXPECT_EQ(t.cell(50000, kNumberColumn), "50001");
    EXPECT_EQ(t.totals().seconds(), 50001);
}

TEST_F(Query, EscapedAndDoubleByteValuesReadBackAsWritten) {
    // A trail byte 0x5c (\) and a name with every character that needs escaping.
    const std::string gbk = "\xd5\xc5\x5c\xc8\xfd";
    write("2009-01.xml",
          recordText(recordItem("a&amp;b&lt;c&gt;d&quot;e&apos;f&#x41;", "2009-01-01 10:00:00",
                                "2009-01-01 10:00:01", "1.2.3.4&amp;") +
                     recordItem(gbk, "2009-01-01 10:00:00", "2009-01-01 10:00:01")));
    const RecordTable t = query_.fullRefresh();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.cell(0, kUserColumn), "a&b<c>d\"e'fA");
    EXPECT_EQ(t.cell(0, kIpColumn), "1.2.3.4&");
    EXPECT_EQ(t.cell(1, kUserColumn), gbk);
    EXPECT_EQ(folder_.accountNames(), (Strings{"a&b<c>d\"e'fA", gbk}));
}

// Files that are not in the client's own shape are read by the XML engine; both ways must
// give the same rows and places.
TEST_F(Query, OnePassAndEngineReadTheSame) {
    const std::string a = recordItem("a", "2009-01-01 10:00:00", "2009-01-01 10:00:01");
    const std::string b = recordItem("b&amp;", "2009-01-02 10:00:00", "2009-01-02 10:00:02");
    const std::string open = recordItem("o", "2009-01-03 10:00:00", "");
    write("plain.xml", recordText(open + a + b));
    write("engine.xml",
          recordText("<!-- note -->\r\n" + open + "<ITEM recv='200' send='100' error_code=\"" +
                     testing::kNormalCause +
                     "\" ip=\"10.0.0.2\" end_time=\"2009-01-01 10:00:01\" "
                     "start_time=\"2009-01-01 10:00:00\" user=\"a\" user=\"z\"/>\r\n" +
                     b));
    std::vector<RecordItem> plainItems, engineItems;
    RecordFile plain(dir_ / "plain.xml"), engine(dir_ / "engine.xml");
    ASSERT_TRUE(plain.read(plainItems));
    ASSERT_TRUE(engine.read(engineItems));
    EXPECT_FALSE(plain.readByEngine());
    EXPECT_TRUE(engine.readByEngine());
    ASSERT_EQ(plainItems.size(), 3u);
    ASSERT_EQ(engineItems.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plainItems[i].place, engineItems[i].place);
        // Rows keep only where an item is: it must read back the same.
        const RecordItem plainAgain = plain.itemAt(plainItems[i].where);
        const RecordItem engineAgain = engine.itemAt(engineItems[i].where);
        for (size_t f = 0; f < kRecordFieldCount; ++f) {
            const std::string value = plain.value(plainItems[i], RecordField(f));
            EXPECT_EQ(value, engine.value(engineItems[i], RecordField(f)));
            EXPECT_EQ(value, plain.value(plainAgain, RecordField(f)));
            EXPECT_EQ(value, engine.value(engineAgain, RecordField(f)));
        }
    }
}

TEST_F(Query, UnreadableFilesListNothing) {
    write("2009-01.xml", recordText(recordItem("a", "2009-01-01 10:00:00", "2009-01-01 10:00:01")));
    write("2009-02.xml", recordText(recordItem("b", "2009-02-01 10:00:00", "2009-02-01 10:00:01")));
    std::filesystem::permissions(dir_ / "2009-02.xml", std::filesystem::perms::none);
    const bool enforced = !std::ifstream(dir_ / "2009-02.xml").is_open();  // not as root
    const RecordTable t = query_.fullRefresh();
    EXPECT_EQ(t.size(), enforced ? 1u : 2u);
    EXPECT_EQ(t.cell(0, kUserColumn), "a");
}

}  // namespace
}  // namespace tarnix
