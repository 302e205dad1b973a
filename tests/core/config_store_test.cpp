// The configuration store over config.xml in a temporary folder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "store/ConfigStore.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
const std::string kDefaultFile = kDecl +
                                 "<CONFIG>\r\n"
                                 "<UPDATESET>1</UPDATESET>\r\n"
                                 "<passwordstatus>1</passwordstatus>\r\n"
                                 "<StartUp>0</StartUp>\r\n"
                                 "<Autoconnect>0</Autoconnect>\r\n"
                                 "<Alwaysconnect>0</Alwaysconnect>\r\n"
                                 "<Reconnect>0</Reconnect>\r\n"
                                 "<RedialTimegrap>5</RedialTimegrap>\r\n"
                                 "<RedialTrytimes>1000</RedialTrytimes>\r\n"
                                 "<MsgPop>1</MsgPop>\r\n"
                                 "</CONFIG>\r\n";
const std::string kEntry(kDialEntryName);

class Config : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("tarnix-config-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void writeFile(const std::string& bytes) {
        std::ofstream(dir_ / "config.xml", std::ios::binary) << bytes;
    }
    std::string file() {
        std::ifstream in(dir_ / "config.xml", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // The default file with `extra` before the end tag of CONFIG.
    static std::string defaultWith(const std::string& extra) {
        std::string text = kDefaultFile;
        return text.insert(text.size() - 11, extra);
    }

    fs::path dir_;
};

TEST_F(Config, CreatesTheDefaultFileAndReadsItsValues) {
    ConfigStore store(dir_);
    EXPECT_EQ(file(), kDefaultFile);
    EXPECT_TRUE(store.GetUpdateCheck());
    EXPECT_TRUE(store.GetSavePassword());
    EXPECT_FALSE(store.GetStartUp());
    EXPECT_EQ(store.GetAutoConnect(), 0);
    EXPECT_EQ(store.GetAlwaysConnect(), 0);
    EXPECT_EQ(store.GetReconnect(), 0);
    EXPECT_TRUE(store.GetMessagePopup());
    EXPECT_TRUE(store.IsMessagePopupCached());
    EXPECT_FALSE(store.IsReconnectCached());
    EXPECT_EQ(store.GetRedialIntervalText(), "5\xc3\xeb");
    EXPECT_EQ(store.GetRedialTriesText(), "1000");
    EXPECT_EQ(file(), kDefaultFile) << "reading changes nothing";
}

TEST_F(Config, SettersSaveAtOnce) {
    ConfigStore store(dir_);
    store.SetStartUp(true);
    store.SetAutoConnect(true);
    store.SetReconnect(true);
    store.SetMessagePopup(false);
    store.SetUpdateCheck(false);
    store.SetSavePassword(false);
    store.SetAlwaysConnect(true);
    std::string expected = kDefaultFile;
    for (const char* key : {"UPDATESET", "passwordstatus", "StartUp", "Autoconnect",
                            "Alwaysconnect", "Reconnect", "MsgPop"}) {
        const std::string open = std::string("<") + key + ">";
        const size_t at = expected.find(open) + open.size();
        expected[at] = expected[at] == '1' ? '0' : '1';
    }
    EXPECT_EQ(file(), expected);
    EXPECT_TRUE(store.IsReconnectCached());
    EXPECT_FALSE(store.IsMessagePopupCached());

    ConfigStore again(dir_);
    EXPECT_TRUE(again.GetStartUp());
    EXPECT_EQ(again.GetAutoConnect(), 1);
    EXPECT_TRUE(again.IsReconnectCached());
    EXPECT_FALSE(again.IsMessagePopupCached());
}

TEST_F(Config, RedialTexts) {
    ConfigStore store(dir_);
    const std::pair<const char*, const char*> cases[] = {{"5", "5\xc3\xeb"},
                                                         {"59", "59\xc3\xeb"},
                                                         {"60", "1\xb7\xd6\xd6\xd3"},
                                                         {"90", "1\xb7\xd6\xd6\xd3"},
                                                         {"600", "10\xb7\xd6\xd6\xd3"}};
    for (const auto& [stored, shown] : cases) {
        store.SetRedial(stored, 3);
        EXPECT_EQ(store.GetRedialIntervalText(), shown) << stored;
    }
    EXPECT_EQ(store.GetRedialTriesText(), "3");
}

TEST_F(Config, MissingElementsFollowTheirOwnRules) {
    writeFile(kDecl + "<CONFIG>\r\n</CONFIG>\r\n");
    ConfigStore store(dir_);  // reads and adds MsgPop, then Reconnect
    EXPECT_EQ(file(), kDecl +
                          "<CONFIG>\r\n<MsgPop>1</MsgPop>\r\n<Reconnect>0</Reconnect>\r\n"
                          "</CONFIG>\r\n");
    EXPECT_FALSE(store.GetStartUp());
    EXPECT_EQ(store.GetAutoConnect(), 0);
    EXPECT_EQ(store.GetRedialIntervalText(), "\xc3\xeb");
    EXPECT_EQ(store.GetRedialTriesText(), "");
    EXPECT_EQ(file().find("StartUp"), std::string::npos) << "not added";
    EXPECT_TRUE(store.GetUpdateCheck());
    EXPECT_TRUE(store.GetSavePassword());
    EXPECT_EQ(store.GetAlwaysConnect(), 0);
    EXPECT_EQ(file(), kDecl +
                          "<CONFIG>\r\n<MsgPop>1</MsgPop>\r\n<Reconnect>0</Reconnect>\r\n"
                          "<UPDATESET>1</UPDATESET>\r\n<passwordstatus>1</passwordstatus>\r\n"
                          "<Alwaysconnect>0</Alwaysconnect>\r\n</CONFIG>\r\n");
    store.SetStartUp(true);  // appended at the end of CONFIG
    EXPECT_NE(file().find("<Alwaysconnect>0</Alwaysconnect>\r\n<StartUp>1</StartUp>\r\n</CONFIG>"),
              std::string::npos);
    // Interval and tries given for missing elements are stored as given.
    store.SetRedial("30", 7);
    EXPECT_EQ(store.GetRedialIntervalText(), "30\xc3\xeb");
    EXPECT_EQ(store.GetRedialTriesText(), "7");
}

TEST_F(Config, SomeReadersTakeTheLastOfRepeatedElements) {
    writeFile(kDecl +
              "<CONFIG><StartUp>0</StartUp><MsgPop>0</MsgPop><StartUp>1</StartUp>"
              "<MsgPop>1</MsgPop><Reconnect>1</Reconnect></CONFIG>");
    ConfigStore store(dir_);
    EXPECT_TRUE(store.GetStartUp());        // the last one
    EXPECT_FALSE(store.GetMessagePopup());  // the first one
    EXPECT_TRUE(store.IsReconnectCached());
}

TEST_F(Config, Accounts) {
    ConfigStore store(dir_);
    std::vector<std::string> names, passwords;
    EXPECT_FALSE(store.GetLastAccount(names, passwords));
    store.ListAccounts(kEntry, names, passwords);
    EXPECT_TRUE(names.empty());

    const std::string odd = "\xd5\xc5<&'\">";
    store.SaveAccount(kEntry, "aaaa", "user1");
    EXPECT_EQ(file(),
              defaultWith("<" + kEntry + ">\r\n<User NAME=\"user1\" PASSWORD=\"aaaa\"/>\r\n</" +
                          kEntry + ">\r\n"));
    store.SaveAccount(kEntry, "", odd);
    store.SaveAccount(kEntry, "bbbb", "user1");  // same account: password replaced
    store.ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, (std::vector<std::string>{"user1", odd}));
    EXPECT_EQ(passwords, (std::vector<std::string>{"bbbb", ""}));

    store.SetLastAccount("cccc", odd);
    store.SetLastAccount("dddd", "user1");
    names.clear();
    passwords.clear();
    ASSERT_TRUE(store.GetLastAccount(names, passwords));
    EXPECT_EQ(names, std::vector<std::string>{"user1"});
    EXPECT_EQ(passwords, std::vector<std::string>{"dddd"});
    EXPECT_NE(
        file().find("<LastUser>\r\n<User NAME=\"user1\" PASSWORD=\"dddd\"/>\r\n</LastUser>\r\n"
                    "</CONFIG>"),
        std::string::npos);

    store.RemoveAccounts(kEntry, {"user1"});
    store.ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{odd});
    names.clear();
    EXPECT_FALSE(store.GetLastAccount(names, passwords));  // LastUser named a removed account

    ConfigStore reloaded(dir_);
    reloaded.ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{odd});
}

// A peer may leave several User elements in LastUser; the login page shows the last one,
// so removing that account (or any other named there) must not leave it behind.
TEST_F(Config, RemovingAnyAccountNamedInLastUserRemovesLastUser) {
    for (const char* removed : {"first", "last"}) {
        SCOPED_TRACE(removed);
        writeFile(kDecl + "<CONFIG>\r\n<" + kEntry +
                  ">\r\n<User NAME=\"first\" PASSWORD=\"\"/>\r\n<User NAME=\"last\" "
                  "PASSWORD=\"\"/>\r\n</" +
                  kEntry +
                  ">\r\n<LastUser>\r\n<User NAME=\"first\" PASSWORD=\"\"/>\r\n"
                  "<User NAME=\"last\" PASSWORD=\"\"/>\r\n</LastUser>\r\n</CONFIG>\r\n");
        ConfigStore store(dir_);
        store.RemoveAccounts(kEntry, {removed});
        std::vector<std::string> names, passwords;
        EXPECT_FALSE(store.GetLastAccount(names, passwords));
        EXPECT_EQ(file().find("LastUser"), std::string::npos);
    }
    // An account LastUser does not name leaves it alone.
    ConfigStore store(dir_);
    store.SetLastAccount("", "kept");
    store.RemoveAccounts(kEntry, {"other"});
    std::vector<std::string> names, passwords;
    ASSERT_TRUE(store.GetLastAccount(names, passwords));
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
}

TEST_F(Config, ScheduledShutdown) {
    ConfigStore store(dir_);
    std::string time = "x", type = "x";
    store.GetShutdown(time, type);
    EXPECT_EQ(time + type, "");
    store.SetShutdown(false, "", "");  // nothing to remove: unchanged, but saved
    EXPECT_EQ(file(), kDefaultFile);

    store.SetShutdown(true, "23:30", "2");
    EXPECT_EQ(file(), defaultWith("<SystemSet SetTime=\"23:30\" SetType=\"2\"/>\r\n"));
    store.SetLastAccount("", "u");
    store.SetShutdown(true, "07:00", "1");  // replaced where it was
    const std::string withBoth = defaultWith(
        "<SystemSet SetTime=\"07:00\" SetType=\"1\"/>\r\n"
        "<LastUser>\r\n<User NAME=\"u\" PASSWORD=\"\"/>\r\n</LastUser>\r\n");
    EXPECT_EQ(file(), withBoth);
    store.GetShutdown(time, type);
    EXPECT_EQ(time, "07:00");
    EXPECT_EQ(type, "1");

    store.SetShutdown(false, "", "");
    store.GetShutdown(time, type);
    EXPECT_EQ(time + type, "");
    store.SetShutdown(true, "01:00", "0");
    store.ClearShutdown();
    EXPECT_EQ(file(),
              defaultWith("<LastUser>\r\n<User NAME=\"u\" PASSWORD=\"\"/>\r\n</LastUser>\r\n"));

    // The first element of CONFIG keeps its place too.
    writeFile(kDecl +
              "<CONFIG>\r\n<SystemSet SetTime=\"1\" SetType=\"1\"/>\r\n<MsgPop>1</MsgPop>\r\n"
              "<Reconnect>0</Reconnect>\r\n</CONFIG>\r\n");
    ConfigStore first(dir_);
    first.SetShutdown(true, "2", "2");
    EXPECT_EQ(file(), kDecl +
                          "<CONFIG>\r\n<SystemSet SetTime=\"2\" SetType=\"2\"/>\r\n"
                          "<MsgPop>1</MsgPop>\r\n<Reconnect>0</Reconnect>\r\n</CONFIG>\r\n");
}

TEST_F(Config, DamagedFilesAreKeptAsideBeforeTheDefaultsAreWritten) {
    const std::string accounts =
        "<" + kEntry + "><User NAME=\"a\" PASSWORD=\"1f\"/></" + kEntry + ">";
    const std::string damaged[] = {
        std::string("\x00\xff\xfe\x81<\x01>", 7),
        "<html><body>not a config</body></html>",
        kDecl + "<CONFIG>\r\n" + accounts + "\r\n<StartUp>1",  // cut short
        kDecl + "<CONFIG><StartUp>1</Start>" + accounts + "</CONFIG>",
        kDecl + "<CONFIG><UPDATESET/><User NAME='x/></CONFIG>",
    };
    int n = 0;
    for (const std::string& bytes : damaged) {
        writeFile(bytes);
        testing::PromptRecorder prompts;
        {
            ConfigStore store(dir_);
            EXPECT_FALSE(store.IsReadOnlyThisRun());
            EXPECT_EQ(file(), kDefaultFile);
            store.ShowStartNotice(nullptr);
            store.ShowStartNotice(nullptr);
            store.SetAutoConnect(true);
        }
        const std::string aside =
            ++n == 1 ? "config.xml.damaged" : "config.xml.damaged-" + std::to_string(n);
        std::ifstream in(dir_ / aside, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes) << aside;
        ASSERT_EQ(prompts.asked.size(), 1u) << "told once";
        EXPECT_EQ(prompts.asked[0].caption, L"提示");
        EXPECT_NE(prompts.asked[0].text.find(fs::path(aside).wstring()), std::wstring::npos);
        EXPECT_EQ(ConfigStore(dir_).GetAutoConnect(), 1) << "changes are written again";
    }

    // An empty file holds nothing to keep: it is replaced by the defaults without a word.
    writeFile("");
    testing::PromptRecorder prompts;
    ConfigStore(dir_).ShowStartNotice(nullptr);
    EXPECT_EQ(file(), kDefaultFile);
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(fs::exists(dir_ / ("config.xml.damaged-" + std::to_string(n + 1))));
}

TEST_F(Config, AFileThatCannotBeReadIsNeverWritten) {
    // A folder in its place stands for any file that exists and cannot be read.
    fs::create_directories(dir_ / "config.xml" / "inner");
    testing::PromptRecorder prompts;
    ConfigStore store(dir_);
    EXPECT_TRUE(store.IsReadOnlyThisRun());
    EXPECT_TRUE(store.GetUpdateCheck()) << "the defaults stand in";
    store.SaveAccount(kEntry, "", "u");
    store.SetStartUp(true);
    EXPECT_FALSE(store.Save());
    EXPECT_TRUE(store.GetStartUp()) << "changes live on in memory";
    std::vector<std::string> names, passwords;
    store.ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"u"});
    EXPECT_TRUE(fs::is_directory(dir_ / "config.xml" / "inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    EXPECT_TRUE(prompts.asked.empty()) << "not before the program asks for it";
    store.ShowStartNotice(nullptr);
    store.ShowStartNotice(nullptr);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].caption, L"提示");
    EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Warning);
    EXPECT_NE(prompts.asked[0].text.find(L"config.xml"), std::wstring::npos);
}

// A damaged file that cannot be moved aside may still hold the subscriber's accounts: it
// stays as it is, the defaults are never written over it and the notice says so.
TEST_F(Config, ADamagedFileThatCannotBeKeptAsideIsNeverWritten) {
    const std::string damaged =
        kDecl + "<CONFIG>\r\n<" + kEntry + "><User NAME=\"a\" PASSWORD=\"1f\"/>";  // cut short
    writeFile(damaged);
    for (int n = 1; n < 1000; ++n)  // every name it could be kept under is taken
        std::ofstream(dir_ / ("config.xml.damaged" + (n == 1 ? "" : "-" + std::to_string(n))));
    testing::PromptRecorder prompts;
    {
        ConfigStore store(dir_);
        EXPECT_TRUE(store.IsReadOnlyThisRun());
        EXPECT_EQ(file(), damaged);
        store.SetStartUp(true);
        store.SaveAccount(kEntry, "", "b");
        EXPECT_FALSE(store.Save());
        EXPECT_TRUE(store.GetStartUp()) << "changes live on in memory";
        store.ShowStartNotice(nullptr);
    }
    EXPECT_EQ(file(), damaged);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1000);
    ASSERT_EQ(prompts.asked.size(), 1u);
    const std::wstring& notice = prompts.asked[0].text;
    EXPECT_NE(notice.find(L"已损坏"), std::wstring::npos) << "damaged";
    EXPECT_NE(notice.find(L"无法另存"), std::wstring::npos)
        << "could not be kept aside";
    EXPECT_NE(notice.find(L"不会保存"), std::wstring::npos)
        << "changes are not saved";
    EXPECT_EQ(notice.find(L".damaged"), std::wstring::npos) << "no copy to name";
}

// A config.xml of GB2312 text without a declaration keeps its text through a save.
TEST_F(Config, ChineseTextWithoutADeclarationSurvivesASave) {
    const std::string account = "\xb0\xa1";  // 啊
    writeFile("<CONFIG><" + kEntry + "><User NAME=\"" + account + "\" PASSWORD=\"\"/></" + kEntry +
              "></CONFIG>");
    {
        ConfigStore store(dir_);
        EXPECT_FALSE(store.IsReadOnlyThisRun());
        store.SetAutoConnect(true);
    }
    EXPECT_NE(file().find("NAME=\"" + account + "\""), std::string::npos) << file();
    std::vector<std::string> names, passwords;
    ConfigStore(dir_).ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{account});
    EXPECT_EQ(ConfigStore(dir_).GetAutoConnect(), 1);
}

TEST_F(Config, FailedSaveKeepsTheChangeAndTheOldFile) {
    const fs::path folder = dir_ / "program";
    fs::create_directories(folder);
    ConfigStore store(folder);
    // The folder disappears behind the store's back and a plain file takes its name.
    fs::rename(folder, dir_ / "moved");
    std::ofstream(folder) << "not a folder";
    store.SetStartUp(true);
    EXPECT_FALSE(store.Save());
    EXPECT_TRUE(store.GetStartUp());
    std::ifstream in(dir_ / "moved" / "config.xml", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kDefaultFile);
}

}  // namespace
}  // namespace tarnix
