// Deleting listed sessions from their files and adding sessions by hand: only the file
// of the row or of the start month changes, and only as asked.
#include <gtest/gtest.h>

#include <thread>

#include "../support/FakeClock.h"
#include "../support/FakeRemoteAccess.h"
#include "dial/SessionRecords.h"
#include "records/MonthFile.h"
#include "records/RecordEditor.h"
#include "records/RecordQuery.h"
#include "records_fixture.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::recordItem;
using testing::recordText;
using Strings = std::vector<std::string>;

const std::string kReadOnlyTail =
    "\xa1\xb1\xca\xc7\xd6\xbb\xb6\xc1\xce\xc4\xbc\xfe\xa3\xac\xce\xde\xb7\xa8\xd0\xde\xb8\xc4\xa1"
    "\xa3";  // ”是只读文件，无法修改。
const std::string kRecordFileHead = "\xbc\xc7\xc2\xbc\xce\xc4\xbc\xfe\xa1\xb0";  // 记录文件“

TEST(MonthFiles, AreNamedWithATwoDigitMonthInDataRecord) {
    EXPECT_EQ(monthFileName({2009, 1, 31}), "2009-01.xml");
    EXPECT_EQ(monthFileName({2009, 9, 1}), "2009-09.xml");
    EXPECT_EQ(monthFileName({2009, 12, 1}), "2009-12.xml");
    EXPECT_EQ(recordFolderBeside("C:/Tarnix"), fs::path("C:/Tarnix/data/record"));
}

class Edit : public testing::RecordFolderTest {
  protected:
    Strings users(const RecordTable& t) const {
        Strings out;
        for (size_t i = 0; i < t.size(); ++i) out.push_back(t.cell(i, kUserColumn));
        return out;
    }
    void makeReadOnly(const std::string& name) {
        fs::permissions(dir_ / name, fs::perms::owner_read);
    }
    static ManualSession session(const std::string& user, LocalTime start, LocalTime end) {
        return {user, "10.1.2.3", start, end, "100", "200"};
    }

    RecordFolder folder_{dir_};
    RecordQuery query_{folder_};
    RecordEditor editor_{dir_};
};

TEST_F(Edit, ManualSessionGoesIntoTheMonthItStarted) {
    RecordChange change =
        editor_.add(session("alice", {2009, 6, 30, 23, 0, 0}, {2009, 7, 1, 1, 0, 0}));
    EXPECT_TRUE(change.ok());
    EXPECT_EQ(read("2009-06.xml"),
              recordText(recordItem("alice", "2009-06-30 23:00:00", "2009-07-01 01:00:00",
                                    "10.1.2.3", "100", "200")));
    EXPECT_FALSE(exists("2009-07.xml"));
    const RecordTable t = query_.fullRefresh();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t.cell(0, kDurationColumn),
              "2\xd0\xa1\xca\xb1"
              "0\xb7\xd6\xd6\xd3"
              "0\xc3\xeb");
}

TEST_F(Edit, ManualSessionIsAppendedAfterTheLastRecord) {
    const std::string open = recordItem("dialling", "2009-06-30 20:00:00", "");
    const std::string old = recordItem("bob", "2009-06-01 08:00:00", "2009-06-01 09:00:00");
    write("2009-06.xml", recordText(open + old));
    write("2009-05.xml", recordText(old));
    const std::string may = read("2009-05.xml");
    const std::string name = "a&b<c>\"d'\xd5\xc5\xc8\xfd";
    ASSERT_TRUE(
        editor_.add({name, "1.2.3.4", {2009, 6, 2, 8, 0, 0}, {2009, 6, 2, 8, 0, 30}, "", ""}).ok());
    EXPECT_EQ(
        read("2009-06.xml"),
        recordText(open + old +
                   recordItem("a&amp;b&lt;c&gt;&quot;d&apos;\xd5\xc5\xc8\xfd",
                              "2009-06-02 08:00:00", "2009-06-02 08:00:30", "1.2.3.4", "", "")));
    EXPECT_EQ(read("2009-05.xml"), may);
    EXPECT_EQ(users(query_.run({testing::kAll, "2009", "06", testing::kAll})),
              (Strings{"bob", name}));
    EXPECT_EQ(ManualSession::addressText(0xC0A80114u), "192.168.1.20");
}

TEST_F(Edit, ManualSessionsThatCannotBeStoredChangeNothing) {
    write("2009-06.xml",
          recordText(recordItem("bob", "2009-06-01 08:00:00", "2009-06-01 09:00:00")));
    const std::string before = read("2009-06.xml");
    RecordChange backwards =
        editor_.add(session("a", {2009, 6, 2, 8, 0, 1}, {2009, 6, 2, 8, 0, 0}));
    EXPECT_EQ(backwards.message,
              "\xbd\xe1\xca\xf8\xca\xb1\xbc\xe4\xb2\xbb\xc4\xdc\xd4\xe7\xd3\xda"
              "\xbf\xaa\xca\xbc\xca\xb1\xbc\xe4\xa1\xa3");  // 结束时间不能早于开始时间。
    ManualSession words = session("a", {2009, 6, 2, 8, 0, 0}, {2009, 6, 2, 9, 0, 0});
    words.sent = "12a";
    EXPECT_FALSE(editor_.add(words).ok());
    words.sent = "-1";
    EXPECT_FALSE(editor_.add(words).ok());
    for (const char* user : {"", " ", " \t "}) {  // a record no account could claim
        RecordChange nobody =
            editor_.add(session(user, {2009, 6, 2, 8, 0, 0}, {2009, 6, 2, 9, 0, 0}));
        EXPECT_EQ(nobody.message,
                  "\xd3\xc3\xbb\xa7\xc3\xfb\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5\xa1\xa3");
    }

    makeReadOnly("2009-06.xml");
    RecordChange readOnly = editor_.add(session("a", {2009, 6, 2, 8, 0, 0}, {2009, 6, 2, 9, 0, 0}));
    EXPECT_EQ(readOnly.message, kRecordFileHead + "2009-06.xml" + kReadOnlyTail);
    EXPECT_EQ(read("2009-06.xml"), before);
}

TEST_F(Edit, ManualSessionSetsADamagedMonthFileAside) {
    const std::string cut = testing::kRecordDecl + "<record>\r\n" +
                            recordItem("kept", "2009-06-01 08:00:00", "2009-06-01 09:00:00");
    write("2009-06.xml", cut);
    ASSERT_TRUE(editor_.add(session("new", {2009, 6, 2, 8, 0, 0}, {2009, 6, 2, 9, 0, 0})).ok());
    EXPECT_EQ(read("2009-06.xml.damaged"), cut);
    EXPECT_EQ(users(query_.fullRefresh()), (Strings{"new", "kept"}));
}

TEST_F(Edit, DeletionRemovesTheSelectedRecordEvenBesideItsTwin) {
    // Two records of one month with the same start time, and one of another month.
    const std::string first = recordItem("alice", "2009-06-01 08:00:00", "2009-06-01 09:00:00");
    const std::string twin = recordItem("bob", "2009-06-01 08:00:00", "2009-06-01 10:00:00");
    const std::string same = recordItem("bob", "2009-06-01 08:00:00", "2009-06-01 10:00:00");
    const std::string july = recordItem("carol", "2009-07-01 08:00:00", "2009-07-01 09:00:00");
    write("2009-06.xml", recordText(first + twin + same));
    write("2009-07.xml", recordText(july));
    RecordTable t = query_.fullRefresh();
    ASSERT_EQ(users(t), (Strings{"alice", "bob", "bob", "carol"}));

    RecordChange change = editor_.remove(t, {1});
    EXPECT_TRUE(change.ok()) << change.message;
    EXPECT_EQ(change.removedRows, std::vector<size_t>{1});
    EXPECT_EQ(read("2009-06.xml"), recordText(first + same));
    EXPECT_EQ(read("2009-07.xml"), recordText(july));
    // The other rows keep their numbers until the next query.
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(t.cell(1, kNumberColumn), "3");
    EXPECT_EQ(t.totals().count(), 4);

    ASSERT_TRUE(editor_.remove(t, {0}).ok());
    EXPECT_EQ(read("2009-06.xml"), recordText(same));
    ASSERT_TRUE(editor_.remove(t, {0, 1}).ok());
    EXPECT_EQ(read("2009-06.xml"), recordText(""));
    EXPECT_EQ(read("2009-07.xml"), recordText(""));
    EXPECT_TRUE(t.empty());
}

TEST_F(Edit, DeletionFindsRecordsMovedByADial) {
    write("2009-03.xml", recordText(recordItem("a", "2009-03-01 07:00:00", "2009-03-01 07:30:00") +
                                    recordItem("b", "2009-03-01 06:00:00", "2009-03-01 06:30:00")));
    RecordTable t = query_.fullRefresh();
    // A dial opens a record at the top of the month's file after the query.
    testing::FakeRemoteAccess access;
    testing::FakeClock clock({2009, 3, 1, 8, 5, 9});
    SessionRecords(dir_, access, clock).openRecord("dialling");
    ASSERT_TRUE(editor_.remove(t, {1}).ok());
    EXPECT_EQ(users(query_.fullRefresh()), Strings{"a"});
    EXPECT_NE(read("2009-03.xml").find("dialling"), std::string::npos);

    // A record changed since the query is not found, and nothing else goes.
    write("2009-03.xml", recordText(recordItem("a", "2009-03-01 07:00:00", "2009-03-01 07:31:00")));
    const std::string changed = read("2009-03.xml");
    RecordChange change = editor_.remove(t, {0});
    EXPECT_FALSE(change.ok());
    EXPECT_EQ(change.message.substr(0, kRecordFileHead.size()), kRecordFileHead);
    EXPECT_EQ(read("2009-03.xml"), changed);
    EXPECT_EQ(t.size(), 1u);
}

TEST_F(Edit, DeletionFromAReadOnlyFileIsRefusedWithAMessage) {
    write("2009-06.xml", recordText(recordItem("a", "2009-06-01 08:00:00", "2009-06-01 09:00:00")));
    write("2009-07.xml", recordText(recordItem("b", "2009-07-01 08:00:00", "2009-07-01 09:00:00")));
    RecordTable t = query_.fullRefresh();
    makeReadOnly("2009-06.xml");
    const std::string june = read("2009-06.xml");
    RecordChange change = editor_.remove(t, {0, 1});
    EXPECT_EQ(change.message, kRecordFileHead + "2009-06.xml" + kReadOnlyTail);
    EXPECT_EQ(change.removedRows, std::vector<size_t>{1});  // the other month's went
    EXPECT_EQ(read("2009-06.xml"), june);
    EXPECT_EQ(read("2009-07.xml"), recordText(""));
    EXPECT_EQ(users(t), Strings{"a"});
}

TEST_F(Edit, DeletionFromADamagedFileKeepsItsOtherBytes) {
    const std::string a = recordItem("a", "2009-06-01 08:00:00", "2009-06-01 09:00:00");
    const std::string b = recordItem("b", "2009-06-02 08:00:00", "2009-06-02 09:00:00");
    const std::string cut = testing::kRecordDecl + "<record>\r\n" + a + b + "<ITEM user=\"c";
    write("2009-06.xml", cut);
    RecordTable t = query_.fullRefresh();
    ASSERT_EQ(users(t), (Strings{"a", "b"}));
    ASSERT_TRUE(editor_.remove(t, {0}).ok());
    EXPECT_EQ(read("2009-06.xml"), testing::kRecordDecl + "<record>\r\n" + b + "<ITEM user=\"c");
}

TEST_F(Edit, DialsWhileDeletingLoseNothing) {
    std::string items;
    for (int i = 0; i < 40; ++i)
        items +=
            recordItem("old" + std::to_string(i), "2009-03-01 07:00:00", "2009-03-01 07:30:00");
    write("2009-03.xml", recordText(items));
    RecordTable t = query_.fullRefresh();

    testing::FakeRemoteAccess access;
    testing::FakeClock clock({2009, 3, 1, 8, 5, 9});
    SessionRecords records(dir_, access, clock);
    std::thread dials([&] {
        for (int i = 0; i < 40; ++i) {
            records.openRecord("dial" + std::to_string(i));
            records.closeRecordNormal();
        }
    });
    for (size_t row = 40; row-- > 0;) {
        if (row % 2 == 0) {
            EXPECT_TRUE(editor_.remove(t, {row}).ok());
        }
    }
    dials.join();

    const RecordTable after = query_.fullRefresh();
    Strings left = users(after);
    std::sort(left.begin(), left.end());
    Strings expected;
    for (int i = 0; i < 40; ++i) expected.push_back("dial" + std::to_string(i));
    for (int i = 1; i < 40; i += 2) expected.push_back("old" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace tarnix
