// Session record files in a temporary folder, over a fake remote-access service and clock.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "../support/FakeClock.h"
#include "../support/FakeRemoteAccess.h"
#include "base/DialEntry.h"
#include "dial/SessionRecords.h"
#include "records/MonthFile.h"
#include "store/XmlDocument.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::FakeClock;
using testing::FakeRemoteAccess;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
const std::string kEntry(kDialEntryName);
const std::string kNormal = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";  // 正常断开
const std::string kAbnormal = "\xb7\xc7\xb7\xa8\xb6\xcf\xbf\xaa";  // 非法断开

std::string item(const std::string& user, const std::string& start, const std::string& end,
                 const std::string& ip, const std::string& cause = "",
                 const std::string& sent = "", const std::string& received = "") {
    return "<ITEM user=\"" + user + "\" start_time=\"" + start + "\" end_time=\"" + end +
           "\" ip=\"" + ip + "\" error_code=\"" + cause + "\" send=\"" + sent + "\" recv=\"" +
           received + "\"/>\r\n";
}

std::string recordFile(const std::string& items) {
    return kDecl + "<record>\r\n" + items + "</record>\r\n";
}

class Records : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    fs::path dir_ =
        fs::temp_directory_path() / ("tarnix-records-" + std::to_string(std::random_device{}()));
    FakeRemoteAccess access_;
    FakeClock clock_;
    SessionRecords records_{dir_, access_, clock_};
};

TEST_F(Records, SessionsGoNewestFirstAndCloseWithTheirCause) {
    auto link = access_.connect(kEntry, "10.8.0.17");
    records_.openRecord("alice");
    EXPECT_EQ(read("2009-03.xml"), recordFile(item("alice", "2009-03-01 08:05:09", "", "10.8.0.17")));

    // The counters of the entry's connection at the moment of closing.
    access_.setStatistics(link, {123456, 0x80000000u});
    clock_.set({2009, 3, 1, 9, 0, 0});
    records_.closeRecordNormal();
    const std::string first =
        item("alice", "2009-03-01 08:05:09", "2009-03-01 09:00:00", "10.8.0.17", kNormal, "123456",
             "-2147483648");
    EXPECT_EQ(read("2009-03.xml"), recordFile(first));

    access_.drop(link);
    clock_.set({2009, 3, 2, 20, 1, 2});
    records_.openRecord("bob");  // no connection of the entry: no address
    clock_.set({2009, 3, 2, 21, 0, 0});
    records_.closeRecordAbnormal();
    EXPECT_EQ(read("2009-03.xml"),
              recordFile(item("bob", "2009-03-02 20:01:02", "2009-03-02 21:00:00", "", kAbnormal) +
                         first));
}

TEST_F(Records, OtherConnectionsGiveNeitherAddressNorCounters) {
    auto vpn = access_.connect("work vpn", "172.16.0.5");
    access_.setStatistics(vpn, {1, 2});
    records_.openRecord("alice");
    records_.closeRecordNormal();
    EXPECT_EQ(read("2009-03.xml"), recordFile(item("alice", "2009-03-01 08:05:09",
                                                   "2009-03-01 08:05:09", "", kNormal)));

    // With the entry's link among others, its own address and counters are taken.
    auto link = access_.connect(kEntry, "10.8.0.17");
    access_.setStatistics(link, {5, 6});
    records_.openRecord("alice");
    records_.closeRecordNormal();
    EXPECT_EQ(read("2009-03.xml").find(item("alice", "2009-03-01 08:05:09", "2009-03-01 08:05:09",
                                            "10.8.0.17", kNormal, "5", "6")),
              kDecl.size() + 10);

    access_.failEnumeration(true);
    records_.openRecord("carol");
    records_.closeRecordNormal();
    EXPECT_NE(read("2009-03.xml").find(item("carol", "2009-03-01 08:05:09",
                                            "2009-03-01 08:05:09", "", kNormal)),
              std::string::npos);
}

TEST_F(Records, ClosingsOnlyEverCloseAnOpenRecord) {
    const std::string closed = item("alice", "2009-03-01 07:00:00", "2009-03-01 07:30:00",
                                    "10.8.0.17", kNormal, "1", "2");
    write("2009-03.xml", recordFile(closed));
    records_.closeRecordNormal();
    records_.closeRecordAbnormal();
    EXPECT_EQ(read("2009-03.xml"), recordFile(closed));

    // No file, a file with no ITEM: nothing happens and nothing is created.
    clock_.set({2009, 4, 1});
    records_.closeRecordAbnormal();
    EXPECT_FALSE(fs::exists(dir_ / "2009-04.xml"));
    write("2009-04.xml", recordFile(""));
    records_.closeRecordNormal();
    EXPECT_EQ(read("2009-04.xml"), recordFile(""));
}

TEST_F(Records, ASessionOverTheEndOfAMonthClosesWhereItOpened) {
    clock_.set({2009, 3, 31, 23, 50, 0});
    records_.openRecord("alice");
    clock_.set({2009, 4, 1, 0, 10, 0});
    records_.closeRecordAbnormal();
    EXPECT_EQ(read("2009-03.xml"), recordFile(item("alice", "2009-03-31 23:50:00",
                                                   "2009-04-01 00:10:00", "", kAbnormal)));
    EXPECT_FALSE(fs::exists(dir_ / "2009-04.xml"));

    // A record left open by an earlier run is not this run's to close at its own time: the
    // start closes it at the last moment that run was known alive (here its start).
    SessionRecords later(dir_, access_, clock_);
    write("2009-04.xml", recordFile(item("bob", "2009-04-01 00:00:01", "", "")));
    later.closeRecordAbnormal();
    later.closeRecordNormal();
    EXPECT_EQ(read("2009-04.xml"), recordFile(item("bob", "2009-04-01 00:00:01", "", "")));
    EXPECT_FALSE(later.settleLastRun(false));
    EXPECT_EQ(read("2009-04.xml"), recordFile(item("bob", "2009-04-01 00:00:01",
                                                   "2009-04-01 00:00:01", "", kAbnormal)));
}

// A run that dies leaves its record open; the next start closes it "非法断开" with the last
// counters and the last time the run was seen alive, never at some later exit's time. A
// link still up at start is adopted instead, and that run closes it.
TEST_F(Records, ARunThatDiedLeavesItsSessionClosedWhenItWasLastSeen) {
    records_.openRecord("alice");  // 08:05:09
    clock_.set({2009, 3, 1, 8, 10, 9});
    LinkStatistics stats;
    stats.bytesSent = 100;
    stats.bytesReceived = 200;
    records_.saveProgress(&stats);
    EXPECT_EQ(read("2009-03.xml"),
              recordFile(item("alice", "2009-03-01 08:05:09", "", "", "", "100", "200")))
        << "still open, with its counters";
    // Killed here. Two days later:
    clock_.set({2009, 3, 3, 9, 0, 0});
    SessionRecords next(dir_, access_, clock_);
    next.closeRecordNormal();  // this run opened nothing: the exit leaves it alone
    EXPECT_FALSE(next.settleLastRun(false));
    const std::string died = item("alice", "2009-03-01 08:05:09", "2009-03-01 08:10:09", "",
                                  kAbnormal, "100", "200");
    EXPECT_EQ(read("2009-03.xml"), recordFile(died));
    EXPECT_FALSE(fs::exists(dir_ / "last-seen.txt"));

    // The link outlived the run: adopted, and closed by the run that adopted it.
    next.openRecord("bob");  // 09:00:00
    SessionRecords third(dir_, access_, clock_);
    EXPECT_TRUE(third.settleLastRun(true));
    clock_.set({2009, 3, 3, 9, 30, 0});
    third.closeRecordNormal();
    EXPECT_EQ(read("2009-03.xml"), recordFile(item("bob", "2009-03-03 09:00:00",
                                                   "2009-03-03 09:30:00", "", kNormal) +
                                              died));

    // A last-seen note that is damaged, or of another record, gives the start time.
    write("2009-03.xml", recordFile(died));
    const char* notes[] = {
        "\x01garbage",
        "file=2009-03.xml\r\nstart=2009-03-03 10:00:00\r\nseen=2009-03-03 10:20:00\r\n",
        "file=..\\..\\x.xml\r\nstart=2009-03-03 11:00:00\r\nseen=bad\r\n"};
    for (const char* note : notes) {
        SessionRecords dying(dir_, access_, clock_);
        clock_.set({2009, 3, 3, 11, 0, 0});
        dying.openRecord("carol");
        write("last-seen.txt", note);
        SessionRecords after(dir_, access_, clock_);
        after.settleLastRun(false);
        EXPECT_EQ(read("2009-03.xml"), recordFile(item("carol", "2009-03-03 11:00:00",
                                                       "2009-03-03 11:00:00", "", kAbnormal) +
                                                  died))
            << note;
        write("2009-03.xml", recordFile(died));
    }
}

TEST_F(Records, NamesAndAddressesAreEscapedAndReadBackUnchanged) {
    const std::string name = "a&b<c>d\"e'f \xd5\xfd";  // with a GB2312 character
    const std::string address = "<1&2>";
    access_.connect(kEntry, address);
    records_.openRecord(name);
    records_.openRecord(std::string(5000, 'x'));

    XmlDocument doc;
    ASSERT_TRUE(doc.Load(dir_ / "2009-03.xml"));
    ASSERT_TRUE(doc.FindElement("record"));
    ASSERT_TRUE(doc.FindChildElement("ITEM"));
    EXPECT_EQ(doc.GetChildAttribute("user"), std::string(5000, 'x'));
    ASSERT_TRUE(doc.FindChildElement("ITEM"));
    EXPECT_EQ(doc.GetChildAttribute("user"), name);
    EXPECT_EQ(doc.GetChildAttribute("ip"), address);
    EXPECT_FALSE(doc.FindChildElement("ITEM"));
}

TEST_F(Records, AMonthFileWithoutADeclarationKeepsItsChineseTextThroughASave) {
    const std::string older = item("\xb0\xa1", "2009-03-01 07:00:00", "", "");  // 啊, GB2312
    write("2009-03.xml", "<record>\r\n" + older + "</record>\r\n");
    records_.openRecord("bob");
    EXPECT_EQ(read("2009-03.xml"), "<record>\r\n" + item("bob", "2009-03-01 08:05:09", "", "") +
                                       older + "</record>\r\n");
}

TEST_F(Records, ADamagedMonthFileIsKeptAsideAndTheSessionStillRecorded) {
    const std::string damaged[] = {
        "not xml at all",
        recordFile(item("alice", "2009-03-01 07:00:00", "", "")).substr(0, 60),  // truncated
        kDecl + "<other/>\r\n",
        "\xef\xbb\xbf",  // a byte-order mark alone
    };
    for (const auto& bytes : damaged) {
        write("2009-03.xml", bytes);
        // Closings leave whatever is there alone.
        records_.closeRecordAbnormal();
        EXPECT_EQ(read("2009-03.xml"), bytes);

        records_.openRecord("bob");
        EXPECT_EQ(read("2009-03.xml"), recordFile(item("bob", "2009-03-01 08:05:09", "", "")));
        fs::remove(dir_ / "2009-03.xml");
    }
    EXPECT_EQ(read("2009-03.xml.damaged"), damaged[0]);
    EXPECT_EQ(read("2009-03.xml.damaged-2"), damaged[1]);
    EXPECT_EQ(read("2009-03.xml.damaged-3"), damaged[2]);
    EXPECT_EQ(read("2009-03.xml.damaged-4"), damaged[3]);

    // An empty file holds nothing worth keeping: it is simply started anew.
    write("2009-03.xml", "");
    records_.openRecord("bob");
    EXPECT_EQ(read("2009-03.xml"), recordFile(item("bob", "2009-03-01 08:05:09", "", "")));
    EXPECT_FALSE(fs::exists(dir_ / "2009-03.xml.damaged-5"));
}

TEST_F(Records, AFileCutAnywhereNeverLosesASession) {
    const std::string whole =
        recordFile(item("b", "2009-03-01 07:00:00", "", "10.8.0.17") +
                   item("a", "2009-03-01 06:00:00", "2009-03-01 06:30:00", "", kAbnormal));
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const std::string bytes = whole.substr(0, cut);
        write("2009-03.xml", bytes);

        SessionRecords records(dir_, access_, clock_);
        records.closeRecordAbnormal();
        const std::string afterClose = read("2009-03.xml");
        records.openRecord("new");

        XmlDocument doc;
        ASSERT_TRUE(doc.Load(dir_ / "2009-03.xml"));
        ASSERT_TRUE(doc.FindElement("record"));
        ASSERT_TRUE(doc.FindChildElement("ITEM"));
        EXPECT_EQ(doc.GetChildAttribute("user"), "new");
        if (fs::exists(dir_ / "2009-03.xml.damaged")) {
            EXPECT_EQ(afterClose, bytes);  // a file it could not use was left as it was
            EXPECT_EQ(read("2009-03.xml.damaged"), bytes);
        } else {
            // Only a cut in the last line's tail leaves a usable file; it keeps both sessions.
            ASSERT_TRUE(doc.FindChildElement("ITEM"));
            EXPECT_EQ(doc.GetChildAttribute("user"), "b");
            ASSERT_TRUE(doc.FindChildElement("ITEM"));
            EXPECT_EQ(doc.GetChildAttribute("user"), "a");
        }
    }
}

TEST_F(Records, AMissingFolderOrAnUnreadableFileLosesOnlyTheNewRecord) {
    SessionRecords nowhere(dir_ / "missing", access_, clock_);
    nowhere.openRecord("alice");
    nowhere.closeRecordNormal();
    EXPECT_FALSE(fs::exists(dir_ / "missing"));

    // Something that cannot be read as a file is neither replaced nor moved.
    fs::create_directories(dir_ / "2009-03.xml" / "inside");
    records_.openRecord("alice");
    records_.closeRecordNormal();
    EXPECT_TRUE(fs::exists(dir_ / "2009-03.xml" / "inside"));
    EXPECT_FALSE(fs::exists(dir_ / "2009-03.xml.damaged"));
}

TEST_F(Records, ConcurrentWritersLoseNoSession) {
    // Two components, as the dial worker and the drop monitor each hold one.
    SessionRecords other(dir_, access_, clock_);
    constexpr int kRounds = 50;
    std::thread a([&] {
        for (int i = 0; i < kRounds; ++i) records_.openRecord("a" + std::to_string(i));
    });
    std::thread b([&] {
        for (int i = 0; i < kRounds; ++i) {
            other.openRecord("b" + std::to_string(i));
            other.closeRecordAbnormal();
        }
    });
    a.join();
    b.join();

    XmlDocument doc;
    ASSERT_TRUE(doc.Load(dir_ / "2009-03.xml"));
    ASSERT_TRUE(doc.FindElement("record"));
    int items = 0;
    while (doc.FindChildElement("ITEM")) ++items;
    EXPECT_EQ(items, 2 * kRounds);
}

}  // namespace
}  // namespace tarnix
