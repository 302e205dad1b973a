// The message store over MessageInfo.xml in a temporary folder, the provider's list as it
// arrives from the network, and the texts of the message centre.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "base/CodePage.h"
#include "base/Texts.h"
#include "messages/MessageCenterTexts.h"
#include "messages/MessageList.h"
#include "messages/MessageStore.h"
#include "TextIds.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
const std::string kSystem = utf8ToGb("系统消息");
const std::string kAll = utf8ToGb("所有消息");

Message msg(std::string date, std::string time, std::string title, std::string type = kSystem,
            std::string url = "", std::string content = "body") {
    return {std::move(type), std::move(title), std::move(date), std::move(time), std::move(url),
            std::move(content)};
}

std::string listOf(const std::vector<Message>& items, const std::string& decl = kDecl) {
    std::string text = decl + "<MessageRecord>\r\n";
    for (const Message& m : items) {
        text += "<ITEM MType=\"" + XmlDocument::Escape(m.type, true) + "\" MTitle=\"" +
                XmlDocument::Escape(m.title, true) + "\" MDate=\"" + m.date + "\" MTime=\"" +
                m.time + "\" MUrl=\"" + XmlDocument::Escape(m.url, true) + "\" MContent=\"" +
                XmlDocument::Escape(m.content, true) + "\"/>\r\n";
    }
    return text + "</MessageRecord>\r\n";
}

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-messages-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void writeFile(const std::string& bytes, const std::string& name = "MessageInfo.xml") {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string file(const std::string& name = "MessageInfo.xml") {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir_;
};

// GB2312 and every character XML escapes, in every field.
const std::string kAwkward = utf8ToGb("通知 & <b> \"引\" '号'");

TEST_F(Messages, ANewStoreIsTheDeclarationAndAnEmptyRootAndKeepsWhatIsAppended) {
    {
        MessageStore store(dir_);
        EXPECT_EQ(file().substr(0, kDecl.size()), kDecl);
        EXPECT_NE(file().find("<MessageRecord"), std::string::npos);
        EXPECT_TRUE(store.messages().empty());
        EXPECT_TRUE(store.search("2026-12-07", kAll).empty());
        EXPECT_EQ(store.findUrl("2026-12-07", "10:00:00"), "");

        EXPECT_TRUE(store.append(kSystem, "first", "2026-12-01", "08:00:00", "http://a/", "one"));
        EXPECT_TRUE(store.append(kAwkward, kAwkward, "2026-12-02", kAwkward, kAwkward, kAwkward));
        EXPECT_TRUE(store.append("other", "third", "2026-12-02", "09:00:00", "", "three"));
    }
    // Attributes in the order of the file's readers, each ITEM after the last.
    const std::string bytes = file();
    const size_t item = bytes.find("<ITEM");
    ASSERT_NE(item, std::string::npos);
    EXPECT_LT(bytes.find("MType=", item), bytes.find("MTitle=", item));
    EXPECT_LT(bytes.find("MTitle=", item), bytes.find("MDate=", item));
    EXPECT_LT(bytes.find("MDate=", item), bytes.find("MTime=", item));
    EXPECT_LT(bytes.find("MTime=", item), bytes.find("MUrl=", item));
    EXPECT_LT(bytes.find("MUrl=", item), bytes.find("MContent=", item));
    EXPECT_LT(bytes.find("first"), bytes.find("third"));

    MessageStore again(dir_);
    const std::vector<Message> all = again.messages();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], msg("2026-12-01", "08:00:00", "first", kSystem, "http://a/", "one"));
    EXPECT_EQ(all[1], (Message{kAwkward, kAwkward, "2026-12-02", kAwkward, kAwkward, kAwkward}));
    EXPECT_EQ(all[2].title, "third");
    EXPECT_EQ(again.findUrl("2026-12-01", "08:00:00"), "http://a/");
    EXPECT_EQ(again.findUrl("2026-12-02", kAwkward), kAwkward);
    EXPECT_EQ(again.findUrl("2026-12-01", "08:00:0"), "") << "exact text only";
    EXPECT_EQ(again.findUrl("2026-12-02", "09:00:00"), "");
}

TEST_F(Messages, SearchTakesTheDateTextAndAllOrExactlyTheSystemType) {
    MessageStore store(dir_);
    store.append(msg("2009-06-01", "08:00:00", "a", kSystem));
    store.append(msg("2009-06-01", "09:00:00", "b", "other"));
    store.append(msg("2009-06-02", "09:00:00", "c", kSystem));
    store.append(msg("2009-06-01", "10:00:00", "d", kSystem + " "));

    auto titles = [](const std::vector<Message>& list) {
        std::string out;
        for (const Message& m : list) out += m.title;
        return out;
    };
    EXPECT_EQ(titles(store.search("2009-06-01", kAll)), "abd");
    EXPECT_EQ(titles(store.search("2009-06-01", kSystem)), "a");
    EXPECT_EQ(titles(store.search("2009-06-02", kSystem)), "c");
    EXPECT_EQ(titles(store.search("2009-6-1", kAll)), "") << "dates compare as text";
}

TEST_F(Messages, DeletionRemovesExactlyTheChosenMessageWhenTimesAreShared) {
    MessageStore store(dir_);
    store.append(msg("2026-12-01", "08:00:00", "keep"));
    store.append(msg("2026-12-01", "08:00:00", "drop"));
    store.append(msg("2026-12-02", "08:00:00", "other day"));

    EXPECT_TRUE(store.remove(msg("2026-12-01", "08:00:00", "drop", "", "")));
    EXPECT_FALSE(store.remove(msg("2026-12-01", "08:00:00", "drop", "", "")));
    EXPECT_FALSE(store.remove(msg("2026-12-03", "08:00:00", "keep", "", "")));

    MessageStore again(dir_);  // each removal was saved
    const auto all = again.messages();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].title, "keep");
    EXPECT_EQ(all[1].title, "other day");
}

TEST_F(Messages, WalksStartFromTheTopWhateverTheLastOneLeft) {
    MessageStore store(dir_);
    for (int i = 0; i < 5; ++i) store.append(msg("2026-12-01", "0" + std::to_string(i), "t"));
    // A lookup that stops at the first match, then the others, as two windows would.
    EXPECT_EQ(store.findUrl("2026-12-01", "00"), "");
    store.append(msg("2026-12-01", "05", "last"));
    EXPECT_EQ(store.messages().back().title, "last");
    EXPECT_EQ(store.messages().size(), 6u);
    EXPECT_EQ(store.search("2026-12-01", kAll).size(), 6u);
}

TEST_F(Messages, MergeAppendsTheNewOnceSkipsTheKnownAndCountsThemUnread) {
    MessageStore store(dir_);
    int changes = 0;
    store.setChangeListener([&] { ++changes; });
    store.append(msg("2026-12-01", "08:00:00", "known", kSystem, "", "old text"));
    changes = 0;

    const auto added = store.merge({
        msg("2026-12-01", "08:00:00", "known", kSystem, "", "new text"),  // same message
        msg("2026-12-01", "08:00:00", "same time", kSystem),               // a new one
        msg("2026-12-02", "08:00:00", "known", kSystem),                   // another day
        msg("2026-12-01", "08:00:00", "same time", kSystem),               // twice in the list
    });
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].title, "same time");
    EXPECT_EQ(added[1].date, "2026-12-02");
    EXPECT_EQ(changes, 1) << "one change, one save";
    EXPECT_EQ(store.unreadCount(), 2u);
    EXPECT_TRUE(store.merge({msg("2026-12-01", "08:00:00", "known")}).empty());
    EXPECT_EQ(changes, 1);

    store.markRead(added[0]);
    EXPECT_EQ(store.unreadCount(), 1u);
    EXPECT_TRUE(store.remove(added[1]));
    EXPECT_EQ(store.unreadCount(), 0u);

    MessageStore again(dir_);
    const auto all = again.messages();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].content, "old text") << "a known message is left as stored";
    EXPECT_EQ(again.unreadCount(), 0u);
}

// The merge compares the stored keys without copying them: titles holding what XML
// escapes must still be known, and a large store must know each of its messages.
TEST_F(Messages, MergeKnowsEveryStoredMessageWhateverItsTitleHolds) {
    std::vector<Message> stored;
    for (int i = 0; i < 3000; ++i)
        stored.push_back(msg("2026-12-" + std::to_string(10 + i % 20), "08:00:00",
                             i % 3 ? "t" + std::to_string(i) : kAwkward + std::to_string(i)));
    writeFile(listOf(stored));
    MessageStore store(dir_);
    store.setLimits({5000, 8u << 20});
    const std::string before = file();
    EXPECT_TRUE(store.merge(stored).empty());
    EXPECT_EQ(file(), before) << "nothing new, nothing written";

    const auto added = store.merge({stored[3], msg("2026-12-01", "08:00:00", kAwkward), stored[2999]});
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].title, kAwkward);
    EXPECT_EQ(store.messages().size(), 3001u);
    EXPECT_TRUE(store.merge({msg("2026-12-01", "08:00:00", kAwkward)}).empty());
}

// A file of gigabytes is not read (it would stall the window or exhaust its memory) and
// never replaced; the store takes this run's messages in memory.
TEST_F(Messages, AStoreFileTooLargeToHoldIsLeftUnreadAndUntouched) {
    writeFile(listOf({msg("2026-12-01", "08:00:00", "kept")}));
    const fs::path path = dir_ / "MessageInfo.xml";
    fs::resize_file(path, std::uintmax_t(2) << 30);  // sparse: nothing of it is written
    const auto written = fs::last_write_time(path);
    {
        MessageStore store(dir_);
        EXPECT_TRUE(store.isTooLargeThisRun());
        EXPECT_TRUE(store.isReadOnlyThisRun());
        EXPECT_TRUE(store.messages().empty());
        EXPECT_EQ(store.merge({msg("2026-12-02", "09:00:00", "new")}).size(), 1u);
        EXPECT_EQ(store.messages().size(), 1u);
        EXPECT_EQ(store.unreadCount(), 1u);
        EXPECT_FALSE(store.save());
    }
    EXPECT_EQ(fs::file_size(path), std::uintmax_t(2) << 30);
    EXPECT_EQ(fs::last_write_time(path), written);
    std::string head(kDecl.size(), '\0');  // not the whole 2 GB, which would take minutes
    std::ifstream(path, std::ios::binary).read(head.data(), head.size());
    EXPECT_EQ(head, kDecl);
    for (const char* other : {"MessageInfo.xml.tmp", "MessageInfo.xml.damaged", "MessageInfo.xml.unread"})
        EXPECT_FALSE(fs::exists(dir_ / other)) << other;
    // One within the bound is a store as before.
    fs::resize_file(path, listOf({msg("2026-12-01", "08:00:00", "kept")}).size());
    EXPECT_FALSE(MessageStore(dir_).isTooLargeThisRun());
    EXPECT_EQ(MessageStore(dir_).messages().size(), 1u);
}

TEST_F(Messages, AFullStoreDropsItsOldestAndIsNotRewrittenForOlderNews) {
    MessageStore store(dir_);
    store.setLimits({3, 1u << 20});
    store.merge({msg("2026-12-02", "08:00:00", "b"), msg("2026-12-01", "08:00:00", "a"),
                 msg("2026-12-03", "08:00:00", "c")});
    // One newer: the oldest stored one makes room.
    auto added = store.merge({msg("2026-12-04", "08:00:00", "d")});
    ASSERT_EQ(added.size(), 1u);
    auto titles = [&] {
        std::string all;
        for (const Message& m : MessageStore(dir_).messages()) all += m.title;
        return all;
    };
    EXPECT_EQ(titles(), "bcd");
    EXPECT_FALSE(store.isUnread(msg("2026-12-01", "08:00:00", "a")));

    // The provider's list still names the old one: it is older than all kept, so nothing
    // changes and the file is not written.
    const auto written = fs::last_write_time(dir_ / "MessageInfo.xml");
    const std::string before = file();
    int changes = 0;
    store.setChangeListener([&] { ++changes; });
    EXPECT_TRUE(store.merge({msg("2026-12-01", "08:00:00", "a"), msg("2026-12-04", "08:00:00", "d")})
                    .empty());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(file(), before);
    EXPECT_EQ(fs::last_write_time(dir_ / "MessageInfo.xml"), written);

    // A size limit: the oldest go until the file fits.
    store.setLimits({100, before.size() + 100});
    added = store.merge({msg("2026-12-05", "08:00:00", "e", kSystem, "", std::string(50, 'x'))});
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(titles(), "cde");
    EXPECT_LE(file().size(), before.size() + 100);
}

// Which messages were opened outlives the run, in a file of its own: MessageInfo.xml
// keeps its six attributes.
TEST_F(Messages, UnreadMessagesStayUnreadAcrossRestarts) {
    const std::string awkward = "a\tb\\t\r\nc" + kAwkward;  // tab, backslash, line break
    std::string stored;
    {
        MessageStore store(dir_);
        store.merge({msg("2026-12-01", "08:00:00", awkward), msg("2026-12-01", "09:00:00", "b"),
                     msg("2026-12-02", "08:00:00", "c")});
        store.markRead(msg("2026-12-01", "09:00:00", "b"));
        stored = file();
    }
    {
        MessageStore again(dir_);
        EXPECT_EQ(file(), stored) << "the store's own file is as before";
        EXPECT_EQ(again.unreadCount(), 2u);
        EXPECT_TRUE(again.isUnread(msg("2026-12-01", "08:00:00", awkward)));
        EXPECT_FALSE(again.isUnread(msg("2026-12-01", "09:00:00", "b")));
        EXPECT_TRUE(again.remove(msg("2026-12-02", "08:00:00", "c")));
    }
    // A message removed behind the store's back, and lines that are no key, count nothing.
    std::ofstream(dir_ / "MessageInfo.xml.unread", std::ios::app)
        << "2026-12-03\t08:00:00\tgone\r\nno tabs\r\n\t\t\t\r\n";
    EXPECT_EQ(MessageStore(dir_).unreadCount(), 1u);
}

TEST_F(Messages, AFileThatIsNoMessageFileIsKeptAsideAndANewOneStarted) {
    for (const std::string& bad : {std::string("not xml at all \x01\xff"),
                                   kDecl + "<CONFIG><MsgPop>1</MsgPop></CONFIG>\r\n",
                                   kDecl + "<MessageRecord><ITEM MTitle=\"x\""}) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        writeFile(bad);
        MessageStore store(dir_);
        EXPECT_EQ(file("MessageInfo.xml.damaged"), bad) << "kept byte for byte";
        EXPECT_EQ(store.keptAside().filename(), "MessageInfo.xml.damaged");
        EXPECT_TRUE(store.messages().empty());
        EXPECT_TRUE(store.append(msg("2026-12-01", "08:00:00", "fresh")));
        EXPECT_EQ(MessageStore(dir_).messages().size(), 1u);
    }
    // An empty file holds nothing worth keeping.
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    writeFile("");
    MessageStore store(dir_);
    EXPECT_TRUE(store.keptAside().empty());
    EXPECT_EQ(file().substr(0, kDecl.size()), kDecl);
}

TEST_F(Messages, AListWithoutADeclarationKeepsItsChineseTextThroughASave) {
    const std::string title = "\xb0\xa1";  // 啊, GB2312
    writeFile(
        "<MessageRecord><ITEM MType=\"t\" MTitle=\"" + title +
        "\" MDate=\"2026-12-05\" MTime=\"22:30:00\" MUrl=\"\" MContent=\"\"/></MessageRecord>");
    {
        MessageStore store(dir_);
        ASSERT_TRUE(store.append("t", "x", "2026-12-06", "10:00:00", "", ""));
    }
    EXPECT_NE(file().find("MTitle=\"" + title + "\""), std::string::npos) << file();
    MessageStore again(dir_);
    ASSERT_EQ(again.messages().size(), 2u);
    EXPECT_EQ(again.messages()[0].title, title);
}

TEST(MessageList, TakesTheValidItemsOfAListAndIgnoresWhatIsNoList) {
    const auto list = parseMessageList(listOf({
        msg("2026-12-01", "08:00:00", "ok", kSystem, "https://x.example/a?b=1&c=2", kAwkward),
        msg("2026-12-01", "08:00:00", ""),               // no title
        msg("2026-12-1", "08:00:00", "bad date"),        // not yyyy-MM-dd
        msg("2026-12-01", "eight", "bad time"),          // not a time
        msg("2026-12-01", "09:00", "short time", ""),
    }));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0],
              msg("2026-12-01", "08:00:00", "ok", kSystem, "https://x.example/a?b=1&c=2", kAwkward));
    EXPECT_EQ((*list)[1].title, "short time");

    EXPECT_FALSE(parseMessageList(""));
    EXPECT_FALSE(parseMessageList("HTTP/1.1 404 Not Found\r\n\r\n<html>gone</html>"));
    EXPECT_FALSE(parseMessageList(kDecl + "<html><ITEM MTitle=\"x\"/></html>"));
    EXPECT_FALSE(parseMessageList(listOf({msg("2026-12-01", "08:00:00", "x")}).substr(0, 90)));
    EXPECT_TRUE(parseMessageList(kDecl + "<MessageRecord/>")->empty());
}

TEST(MessageList, HostileAddressesAreDroppedAndOnlyWebAddressesOpen) {
    const std::vector<std::string> hostile = {
        "file:///C:/Windows/System32/calc.exe", "javascript:alert(1)", "C:\\Windows\\notepad.exe",
        "notepad.exe", "\\\\server\\share\\x.exe", "http://", "http://a b/", "http://a/\x01",
        "mailto:x@y", "HTTP://evil/\"quoted\""};
    std::vector<Message> items;
    for (size_t i = 0; i < hostile.size(); ++i)
        items.push_back(msg("2026-12-01", "08:00:0" + std::to_string(i % 10), "t" + std::to_string(i),
                            kSystem, hostile[i]));
    const auto list = parseMessageList(listOf(items));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), hostile.size()) << "the message stays, its address goes";
    for (const Message& m : *list) EXPECT_EQ(m.url, "") << m.title;
    for (const std::string& address : hostile) {
        EXPECT_FALSE(isMessageAddress(address)) << address;
        EXPECT_EQ(messageLinkAddress(address), "");
    }
    EXPECT_TRUE(isMessageAddress("HTTPS://news.example/a.htm"));
    EXPECT_EQ(messageLinkAddress("http://news.example/"), "http://news.example/");
}

// Addresses as people and peers write them open as a browser would be given them: the
// scheme added, text beyond ASCII after the host in UTF-8 percent form.
TEST(MessageList, SchemeLessAndNonAsciiWebAddressesOpen) {
    const std::pair<std::string, std::string> opened[] = {
        {"www.isp.cn/news/1.htm", "http://www.isp.cn/news/1.htm"},
        {"WWW.isp.cn", "http://WWW.isp.cn"},
        {"isp.cn:8080/a?b=1", "http://isp.cn:8080/a?b=1"},
        {"  http://isp.cn/a  ", "http://isp.cn/a"},
        {"http://isp.cn/\xd0\xc2\xce\xc5.htm", "http://isp.cn/%E6%96%B0%E9%97%BB.htm"},  // 新闻
        {"isp.cn/a b?q=\xd6\xd0", "http://isp.cn/a%20b?q=%E4%B8%AD"},                     // 中
    };
    for (const auto& [stored, address] : opened) {
        EXPECT_EQ(messageLinkAddress(stored), address) << stored;
        EXPECT_TRUE(isMessageAddress(address)) << address;
    }
    // A list from the provider keeps such an address for its message, as it opens.
    const auto list = parseMessageList(
        listOf({msg("2026-12-01", "08:00:00", "t", kSystem, "www.isp.cn/\xd0\xc2")}));
    ASSERT_TRUE(list);
    EXPECT_EQ((*list)[0].url, "http://www.isp.cn/%E6%96%B0");

    for (const std::string refused :
         {"isp.cn", "ftp://isp.cn/a", "localhost:8080/a", "www.\xd6\xd0.cn/", ".isp.cn/a",
          "http://\xd6\xd0.cn/", "\\\\isp.cn/a", "-isp.cn/a"}) {
        EXPECT_EQ(messageLinkAddress(refused), "") << refused;
    }
}

TEST(MessageList, OversizedListsItemsAndFieldsCostNoCrashAndLittleTime) {
    // 50 MB: refused before it is parsed.
    std::string huge = kDecl + "<MessageRecord>";
    huge.resize(50u << 20, ' ');
    EXPECT_FALSE(parseMessageList(huge));

    // 100,000 items: the first ones up to the limit.
    std::string many = kDecl + "<MessageRecord>\r\n";
    for (int i = 0; i < 100000; ++i)
        many += "<ITEM MType=\"t\" MTitle=\"n" + std::to_string(i) +
                "\" MDate=\"2026-12-01\" MTime=\"08:00:00\" MUrl=\"\" MContent=\"c\"/>\r\n";
    many += "</MessageRecord>\r\n";
    MessageListLimits roomy;
    roomy.maxBytes = 16u << 20;
    const auto list = parseMessageList(many, roomy);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), roomy.maxItems);
    EXPECT_EQ(list->back().title, "n" + std::to_string(roomy.maxItems - 1));

    // 1 MB attributes: that item is skipped, the next one taken.
    const std::string big(1u << 20, 'x');
    const auto withBig = parseMessageList(listOf(
        {msg("2026-12-01", "08:00:00", big), msg("2026-12-01", "08:00:00", "t", big),
         msg("2026-12-01", "08:00:00", "t2", kSystem, "http://x/" + big),
         msg("2026-12-01", "08:00:00", "t3", kSystem, "", big), msg("2026-12-01", "08:00:00", "ok")}),
        roomy);
    ASSERT_TRUE(withBig);
    ASSERT_EQ(withBig->size(), 2u);
    EXPECT_EQ((*withBig)[0].title, "t2");
    EXPECT_EQ((*withBig)[0].url, "") << "an oversized address is dropped";
    EXPECT_EQ((*withBig)[1].title, "ok");
}

TEST(MessageList, AListDeclaredUtf8ArrivesAsGb2312) {
    const std::string utf8Decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    const auto list = parseMessageList(
        listOf({msg("2026-12-01", "08:00:00", "系统维护通知", "系统消息", "", "今晚维护")}, utf8Decl));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].title, utf8ToGb("系统维护通知"));
    EXPECT_EQ((*list)[0].type, kSystem);
}

TEST_F(Messages, TheCentreTextsAndTheExportAreByteForByte) {
    const Message m = msg("2026-12-01", "08:00:00", utf8ToGb("停机"), kSystem, "", utf8ToGb("今晚"));
    EXPECT_EQ(messageHeaderLine(m), L"发送日期：2026-12-01\t发送时间：08:00:00\t消息标题：停机");
    EXPECT_EQ(messageBodyText(m), L"\t\t\t\t\t停机\r\n    今晚");
    EXPECT_EQ(gbText(IDS_MSG_HEADER_INITIAL), utf8ToGb("发送日期:\t\t发送时间：\t\t消息标题："));

    const std::string gb = utf8ToGb("今晚维护");  // 8 bytes
    EXPECT_EQ(shortenGbText(gb, 8), gb);
    EXPECT_EQ(shortenGbText(gb, 5), utf8ToGb("今晚") + "...") << "never half a character";
    EXPECT_EQ(shortenGbText("a" + gb, 4), "a" + utf8ToGb("今") + "...");

    std::string error;
    writeFile("before\r\n", "out.txt");
    ASSERT_TRUE(exportMessageRows(dir_ / "out.txt", {m, msg("2026-12-02", "t", "a", "", "", "b")},
                                  error));
    ASSERT_TRUE(exportMessageRows(dir_ / "out.txt", {m}, error));
    const std::string row = utf8ToGb("停机\t2026-12-01\t08:00:00\t今晚\r\n");
    EXPECT_EQ(file("out.txt"), "before\r\n" + row + "a\t2026-12-02\tt\tb\r\n" + row);
    EXPECT_TRUE(exportMessageRows(dir_ / "empty.txt", {}, error));
    EXPECT_TRUE(fs::exists(dir_ / "empty.txt"));
    EXPECT_FALSE(exportMessageRows(dir_ / "no" / "such" / "x.txt", {m}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tarnix
