// Settings.ini: the panel's layout, the profile functions' way of reading and changing an
// INI file, and files no panel wrote. Under Wine, systemProfile() is the Windows profile
// functions themselves, so what is written here is checked against them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "base/Profile.h"
#include "shortcuts/IniText.h"
#include "shortcuts/ShortcutRules.h"
#include "shortcuts/ShortcutSettings.h"
#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

const std::string kCommon = "\xb3\xa3\xd3\xc3\xc8\xed\xbc\xfe";  // 常用软件, as stored
const std::string kGames = "\xd3\xce\xcf\xb7";            // 游戏
const std::string kBrowser = "\xe4\xaf\xc0\xc0\xc6\xf7";  // 浏览器

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-shortcuts-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        file_ = ShortcutSettings::fileIn(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
    std::string read() {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string profileText(const std::string& section, const std::string& key) {
        return systemProfile().readString(file_, section, key, "<missing>");
    }
    int profileInt(const std::string& section, const std::string& key) {
        return systemProfile().readInt(file_, section, key, -999);
    }

    fs::path dir_;
    fs::path file_;
};

PanelSettings sample() {
    PanelSettings s;
    s.activeFolder = 2;
    s.smallIcons = false;
    s.folders.push_back({kCommon,
                         {{"QQ", "C:\\Program Files\\QQ\\QQ.exe"},
                          {"", "D:\\"},
                          {kBrowser, "http://www.example.cn/"}}});
    s.folders.push_back({kGames, {{"\"quoted\"", "E:\\g.exe"}, {"  spaced ", "E:\\h.exe"}}});
    return s;
}

void expectSame(const PanelSettings& a, const PanelSettings& b) {
    EXPECT_EQ(a.activeFolder, b.activeFolder);
    EXPECT_EQ(a.smallIcons, b.smallIcons);
    ASSERT_EQ(a.folders.size(), b.folders.size());
    for (std::size_t f = 0; f < a.folders.size(); ++f) {
        EXPECT_EQ(a.folders[f].name, b.folders[f].name);
        ASSERT_EQ(a.folders[f].shortcuts.size(), b.folders[f].shortcuts.size());
        for (std::size_t i = 0; i < a.folders[f].shortcuts.size(); ++i) {
            EXPECT_EQ(a.folders[f].shortcuts[i].name, b.folders[f].shortcuts[i].name);
            EXPECT_EQ(a.folders[f].shortcuts[i].target, b.folders[f].shortcuts[i].target);
        }
    }
}

TEST_F(SettingsFile, FirstStartAddsAnEmptyCommonSoftwareFolderAndSavesIt) {
    ShortcutSettings settings(file_);
    // The file a first start writes before the panel is built is the one it saves.
    ASSERT_TRUE(settings.writeIfMissing());
    const std::string firstStart = read();
    fs::remove(file_);
    const PanelSettings loaded = settings.load();
    EXPECT_EQ(loaded.activeFolder, 0);
    EXPECT_TRUE(loaded.smallIcons);
    ASSERT_EQ(loaded.folders.size(), 1u);
    EXPECT_EQ(loaded.folders[0].name, kCommon);
    EXPECT_TRUE(loaded.folders[0].shortcuts.empty());

    ASSERT_TRUE(settings.save(loaded));
    EXPECT_EQ(read(),
              "[Status]\r\nActiveFolder=0\r\nIsSmallIconView=1\r\nFolderCount=2\r\n"
              "[Folder]\r\n1=" +
                  kCommon + "\r\n[ItemCount]\r\n1=0\r\n");
    EXPECT_EQ(profileInt("Status", "FolderCount"), 2);
    EXPECT_EQ(profileText("Folder", "1"), kCommon);
    EXPECT_EQ(profileInt("ItemCount", "1"), 0);
    expectSame(settings.load(), loaded);
    EXPECT_EQ(read(), firstStart);

    // A file that is there is not written again.
    write("[Status]\r\nFolderCount=5\r\n");
    EXPECT_TRUE(settings.writeIfMissing());
    EXPECT_EQ(read(), "[Status]\r\nFolderCount=5\r\n");
}

TEST_F(SettingsFile, EveryValueReadsBackThroughTheProfileFunctions) {
    ShortcutSettings settings(file_);
    ASSERT_TRUE(settings.save(sample()));

    EXPECT_EQ(profileInt("Status", "ActiveFolder"), 2);
    EXPECT_EQ(profileInt("Status", "IsSmallIconView"), 0);
    EXPECT_EQ(profileInt("Status", "FolderCount"), 3);
    EXPECT_EQ(profileText("Folder", "2"), kGames);
    EXPECT_EQ(profileInt("ItemCount", "1"), 3);
    EXPECT_EQ(profileInt("ItemCount", "2"), 2);
    EXPECT_EQ(profileText("1", "1n"), "C:\\Program Files\\QQ\\QQ.exe");
    EXPECT_EQ(profileText("1", "2"), "D:\\") << "an empty name is saved as its target";
    EXPECT_EQ(profileText("1", "3"), kBrowser);
    EXPECT_EQ(profileText("2", "1"), "\"quoted\"");
    EXPECT_EQ(profileText("2", "2"), "  spaced ");

    PanelSettings expected = sample();
    expected.folders[0].shortcuts[1].name = "D:\\";  // the target became its caption
    expectSame(settings.load(), expected);
}

TEST_F(SettingsFile, AFileTheProfileFunctionsWroteLoadsTheSame) {
    Profile& p = systemProfile();
    p.writeString(file_, "Status", "FolderCount", "3");
    p.writeString(file_, "Status", "IsSmallIconView", "0");
    p.writeString(file_, "Status", "ActiveFolder", "1");
    p.writeString(file_, "Folder", "1", kCommon);
    p.writeString(file_, "Folder", "2", kGames);
    p.writeString(file_, "ItemCount", "1", "1");
    p.writeString(file_, "ItemCount", "2", "1");
    p.writeString(file_, "1", "1", "QQ");
    p.writeString(file_, "1", "1n", "C:\\QQ.exe");
    p.writeString(file_, "2", "1", kBrowser);
    p.writeString(file_, "2", "1n", "http://a.cn/");

    const PanelSettings loaded = ShortcutSettings(file_).load();
    PanelSettings expected;
    expected.activeFolder = 1;
    expected.smallIcons = false;
    expected.folders = {{kCommon, {{"QQ", "C:\\QQ.exe"}}}, {kGames, {{kBrowser, "http://a.cn/"}}}};
    expectSame(loaded, expected);
}

TEST_F(SettingsFile, KeysOfDeletedFoldersAndShortcutsStayButAreNotLoaded) {
    ShortcutSettings settings(file_);
    PanelSettings s = sample();
    ASSERT_TRUE(settings.save(s));
    s.folders.pop_back();              // "游戏" deleted
    s.folders[0].shortcuts.resize(1);  // and two shortcuts
    s.activeFolder = 1;
    ASSERT_TRUE(settings.save(s));

    EXPECT_EQ(profileInt("Status", "FolderCount"), 2);
    EXPECT_EQ(profileInt("ItemCount", "1"), 1);
    EXPECT_EQ(profileText("Folder", "2"), kGames) << "left in the file";
    EXPECT_EQ(profileText("1", "3n"), "http://www.example.cn/");
    EXPECT_EQ(profileText("2", "1n"), "E:\\g.exe");
    expectSame(settings.load(), s);

    // A folder saved again under that number overwrites the old keys.
    s.folders.push_back({"New", {{"n", "F:\\n.exe"}}});
    ASSERT_TRUE(settings.save(s));
    EXPECT_EQ(profileText("Folder", "2"), "New");
    EXPECT_EQ(profileText("2", "1n"), "F:\\n.exe");
    EXPECT_EQ(profileText("2", "2n"), "E:\\h.exe") << "still beyond ItemCount";
    expectSame(settings.load(), s);
}

TEST_F(SettingsFile, LinesThePanelDoesNotOwnAreKeptByteForByte) {
    write(
        "; written by hand\r\n[Other]\r\nkey = value \r\n\r\n[status]\r\nFolderCount=2\r\n\r\n"
        "[Folder]\r\n1=" +
        kCommon + "\r\n");
    ShortcutSettings settings(file_);
    PanelSettings s = settings.load();
    ASSERT_EQ(s.folders.size(), 1u);
    s.folders[0].shortcuts.push_back({"a", "C:\\a.exe"});
    ASSERT_TRUE(settings.save(s));
    EXPECT_EQ(read(),
              "; written by hand\r\n[Other]\r\nkey = value \r\n\r\n"
              "[status]\r\nFolderCount=2\r\nActiveFolder=0\r\nIsSmallIconView=1\r\n\r\n"
              "[Folder]\r\n1=" +
                  kCommon +
                  "\r\n"
                  "[ItemCount]\r\n1=1\r\n[1]\r\n1=a\r\n1n=C:\\a.exe\r\n");
}

TEST_F(SettingsFile, AFolderOneThatIsNotCommonSoftwareMovesDown) {
    write("[Status]\r\nFolderCount=3\r\nActiveFolder=2\r\n[Folder]\r\n1=" + kGames +
          "\r\n2=Tools\r\n[ItemCount]\r\n1=1\r\n2=0\r\n[1]\r\n1=g\r\n1n=E:\\g.exe\r\n");
    ShortcutSettings settings(file_);
    PanelSettings s = settings.load();
    ASSERT_EQ(s.folders.size(), 3u);
    EXPECT_EQ(s.folders[0].name, kCommon);
    EXPECT_EQ(s.folders[1].name, kGames);
    ASSERT_EQ(s.folders[1].shortcuts.size(), 1u);
    EXPECT_EQ(s.folders[2].name, "Tools");
    ASSERT_TRUE(settings.save(s));
    EXPECT_EQ(profileText("Folder", "1"), kCommon);
    EXPECT_EQ(profileText("2", "1n"), "E:\\g.exe");
    expectSame(settings.load(), s);
}

// Files no panel wrote: whatever they hold, loading gives no more folders than the file
// names, and what is saved from it loads the same again.
TEST_F(SettingsFile, BadFilesNeverGiveMoreThanTheNextStartCanRead) {
    const std::string longName = "x" + std::string(10000, '\xb0');
    const std::string cases[] = {
        // Huge counts with few keys.
        "[Status]\r\nFolderCount=99999999999999\r\n[Folder]\r\n1=" + kCommon +
            "\r\n2=b\r\n"
            "[ItemCount]\r\n1=2147483647\r\n2=4000000000\r\n[1]\r\n1=a\r\n1n=C:\\a\r\n"
            "7n=C:\\seven\r\n[2]\r\n2000000000n=C:\\far\r\n",
        // Negative and missing numbers.
        "[Status]\r\nFolderCount=-5\r\nActiveFolder=-3\r\nIsSmallIconView=\r\n"
        "[Folder]\r\n1=" +
            kCommon + "\r\n[ItemCount]\r\n1=-1\r\n[1]\r\n1n=C:\\a\r\n",
        "[Status]\r\nFolderCount=abc\r\nActiveFolder=77\r\n[Folder]\r\n1=a\r\n",
        // Names of 10,000 bytes, GB2312 everywhere, a target too long to keep.
        "[Status]\r\nFolderCount=3\r\n[Folder]\r\n1=" + longName + "\r\n2=" + kBrowser +
            "\r\n[ItemCount]\r\n1=3\r\n2=1\r\n[1]\r\n1=" + longName + "\r\n1n=C:\\" + kGames +
            "\r\n2=b\r\n2n=C:\\" + std::string(300, 'p') + "\r\n3n=" + kBrowser +
            "\r\n"
            "[2]\r\n1=\r\n1n=D:\\\r\n",
        // Missing sections: counts without folders, folders without counts or items.
        "[Status]\r\nFolderCount=4\r\n",
        "[Folder]\r\n1=" + kCommon + "\r\n2=z\r\n[Status]\r\nFolderCount=3\r\n[3]\r\n1n=C:\\x\r\n",
        // Twenty folders, more than "添加分组" allows: all of them stay.
        [] {
            std::string s = "[Status]\r\nFolderCount=21\r\n[Folder]\r\n";
            for (int i = 1; i <= 20; ++i)
                s += std::to_string(i) + "=f" + std::to_string(i) + "\r\n";
            return s;
        }(),
        // Not text at all, and keys in odd spellings.
        std::string("\0\x01\xff[\r\n=\r\n[[]]\r\n\x1a\x1a\r\n", 19) +
            "[STATUS]\r\nfoldercount = 0x10\r\n[folder]\r\n 1 = \"" + kCommon + "\" \r\n",
        "",
        "\r\n\r\n\r\n",
        "[Status",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.substr(0, 60));
        write(bytes);
        ShortcutSettings settings(file_);
        const PanelSettings first = settings.load();
        EXPECT_GE(first.folders.size(), 1u);
        EXPECT_LE(first.folders.size(), 21u) << "no more than the file names";
        EXPECT_EQ(first.folders[0].name, kCommon);
        EXPECT_GE(first.activeFolder, 0);
        EXPECT_LE(first.activeFolder, static_cast<int>(first.folders.size()));
        for (const SavedFolder& f : first.folders) {
            EXPECT_LE(f.name.size(), kMaxFolderNameBytes);
            for (const SavedShortcut& s : f.shortcuts) {
                EXPECT_LE(s.name.size(), kMaxCaptionBytes);
                EXPECT_FALSE(s.target.empty());
                EXPECT_LE(s.target.size(), kMaxTargetBytes);
            }
        }
        ASSERT_TRUE(settings.save(first));
        expectSame(settings.load(), first);
        EXPECT_EQ(profileInt("Status", "FolderCount"), static_cast<int>(first.folders.size()) + 1);
        EXPECT_EQ(profileText("Folder", "1"), kCommon);
    }
}

// A peer's or hand-edited file: however many folders it holds, with names or counts
// missing in between and counts far beyond its keys, every folder and shortcut loads and
// is saved back under its own number.
TEST_F(SettingsFile, EveryFolderAndShortcutKeepsItsNumber) {
    struct Case {
        int folders;
        std::string folderCount;
        std::vector<int> unnamed;    // folders without a name key
        std::vector<int> uncounted;  // folders without an ItemCount key (no shortcuts)
    };
    const Case cases[] = {
        {10, "11", {}, {}},
        {20, "21", {2, 9}, {4}},
        {100, "101", {1, 50, 99}, {3, 77}},
        {12, "2147483647", {5}, {}},
        {9, "99999999999999", {}, {9}},
    };
    auto nameOf = [](int n) { return n == 1 ? kCommon : kGames + std::to_string(n); };
    auto targetOf = [](int n, int i) {
        return "C:\\" + std::to_string(n) + "\\" + std::to_string(i) + ".exe";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folders);
        auto in = [](const std::vector<int>& v, int n) {
            return std::find(v.begin(), v.end(), n) != v.end();
        };
        std::string folders = "[Folder]\r\n", counts = "[ItemCount]\r\n", items;
        for (int n = 1; n <= c.folders; ++n) {
            const std::string key = std::to_string(n);
            if (!in(c.unnamed, n)) folders += key + "=" + nameOf(n) + "\r\n";
            if (in(c.uncounted, n)) continue;
            counts += key + "=2\r\n";
            items += "[" + key + "]\r\n1=a" + key + "\r\n1n=" + targetOf(n, 1) + "\r\n2=b" + key +
                     "\r\n2n=" + targetOf(n, 2) + "\r\n";
        }
        write("[Status]\r\nFolderCount=" + c.folderCount + "\r\nActiveFolder=3\r\n" + folders +
              counts + items);

        ShortcutSettings settings(file_);
        PanelSettings loaded = settings.load();
        ASSERT_EQ(loaded.folders.size(), static_cast<std::size_t>(c.folders));
        EXPECT_EQ(loaded.activeFolder, 3);
        for (int n = 1; n <= c.folders; ++n) {
            const SavedFolder& f = loaded.folders[n - 1];
            EXPECT_EQ(f.name, n == 1 || !in(c.unnamed, n) ? nameOf(n) : "") << n;
            ASSERT_EQ(f.shortcuts.size(), in(c.uncounted, n) ? 0u : 2u) << n;
            if (!f.shortcuts.empty()) EXPECT_EQ(f.shortcuts[1].target, targetOf(n, 2));
        }

        ASSERT_TRUE(settings.save(loaded));
        EXPECT_EQ(profileInt("Status", "FolderCount"), c.folders + 1);
        for (int n = 1; n <= c.folders; ++n) {
            const std::string key = std::to_string(n);
            if (!in(c.unnamed, n)) EXPECT_EQ(profileText("Folder", key), nameOf(n));
            if (!in(c.uncounted, n)) EXPECT_EQ(profileText(key, "2n"), targetOf(n, 2)) << n;
        }
        expectSame(settings.load(), loaded);
    }
}

TEST_F(SettingsFile, LongNamesAreCutWholeCharactersAndLongTargetsLeftOut) {
    const std::string longName = "x" + std::string(10000, '\xb0');
    write("[Status]\r\nFolderCount=2\r\n[Folder]\r\n1=" + kCommon +
          "\r\n[ItemCount]\r\n1=2\r\n[1]\r\n1=" + longName + "\r\n1n=C:\\a.exe\r\n2=b\r\n2n=C:\\" +
          std::string(300, 'p') + "\r\n");
    const PanelSettings s = ShortcutSettings(file_).load();
    ASSERT_EQ(s.folders[0].shortcuts.size(), 1u) << "a cut path would name another file";
    EXPECT_EQ(s.folders[0].shortcuts[0].name, truncateGb(longName, 99));
    EXPECT_EQ(s.folders[0].shortcuts[0].name.size(), 99u);
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsNotOverwritten) {
    fs::create_directories(file_);  // a folder where the file should be
    ShortcutSettings settings(file_);
    EXPECT_EQ(settings.load().folders.size(), 1u);
    EXPECT_FALSE(settings.save(sample()));
    EXPECT_TRUE(fs::is_directory(file_));
}

TEST_F(SettingsFile, TheBarsStateIsWhatIsSaved) {
    OutlookBarModel bar;
    bar.addFolder(gbText(IDS_SHORTCUT_MY_COMPUTER));
    bar.addFolder(kCommon);
    bar.addFolder(kGames);
    OutlookItem drive;
    drive.caption = "C:\\";
    drive.target = "C:\\";
    bar.insertItem(0, -1, drive);
    OutlookItem game;
    game.caption = "g";
    game.target = "E:\\g.exe";
    bar.insertItem(2, -1, game);
    bar.openFolder(2);
    bar.setSmallIcons(false);

    const PanelSettings s = ShortcutSettings::of(bar);
    EXPECT_EQ(s.activeFolder, 2);
    EXPECT_FALSE(s.smallIcons);
    ASSERT_EQ(s.folders.size(), 2u) << "the drives are never saved";
    EXPECT_EQ(s.folders[1].name, kGames);
    ASSERT_EQ(s.folders[1].shortcuts.size(), 1u);
    EXPECT_EQ(s.folders[1].shortcuts[0].target, "E:\\g.exe");
}

TEST(IniText, ReadsAndChangesAsTheProfileFunctionsDo) {
    IniText ini("[A]\r\nk=1\r\nK = \" two \" \r\n\r\n[b]\nx='q'\n;c=3\n[A]\nz=9\n\n");
    EXPECT_EQ(ini.value("a", "K"), "1") << "names without case, the first wins";
    EXPECT_EQ(ini.value("B", "x"), "q");
    EXPECT_EQ(ini.value("b", ";c"), std::nullopt) << "a comment";
    EXPECT_EQ(ini.value("A", "z"), std::nullopt) << "only the first section of a name";
    EXPECT_EQ(ini.value("C", "k"), std::nullopt);
    EXPECT_EQ(ini.number("A", "k", 5), 1);
    EXPECT_EQ(ini.number("A", "none", 5), 5);

    ini.set("a", "K", "one");            // in place, the first of the two
    ini.set("A", "new", " padded ");     // after the last key, before the blank line
    ini.set("B", "y", "line\r\nbreak");  // line breaks do not survive as such
    ini.set("Fresh", "1", "x");          // a new section at the end
    EXPECT_EQ(ini.text(),
              "[A]\r\nK=one\r\nK = \" two \" \r\nnew=\" padded \"\r\n\r\n[b]\r\nx='q'\r\n;c=3\r\n"
              "y=line  break\r\n[A]\r\nz=9\r\n\r\n[Fresh]\r\n1=x\r\n");
    EXPECT_EQ(ini.value("A", "new"), " padded ");
    EXPECT_EQ(ini.keys("a"), (std::vector<std::string>{"K", "K", "new"}));

    IniText numbers("[N]\r\nbig=99999999999\r\nneg=-12\r\nlead=7abc\r\nnone=abc\r\nempty=\r\n");
    EXPECT_EQ(numbers.number("N", "big", 0), 2147483647);
    EXPECT_EQ(numbers.number("N", "neg", 0), -12);
    EXPECT_EQ(numbers.number("N", "lead", 0), 7);
    EXPECT_EQ(numbers.number("N", "none", 5), 0);
    EXPECT_EQ(numbers.number("N", "empty", 5), 5);
}

TEST(IniText, FilesWithAByteOrderMarkAreReadAsGb2312) {
    // [F] 1=常用 in UTF-8 and in UTF-16.
    const std::string utf8 = "\xEF\xBB\xBF[F]\r\n1=\xE5\xB8\xB8\xE7\x94\xA8\r\n";
    const std::string utf16("\xFF\xFE[\0F\0]\0\r\0\n\0001\0=\0\x38\x5E\x28\x75\r\0\n\0", 24);
    const std::string gb = "\xb3\xa3\xd3\xc3";
    EXPECT_EQ(IniText(utf8).value("F", "1"), gb);
    EXPECT_EQ(IniText(utf16).value("F", "1"), gb);
}

}  // namespace
}  // namespace tarnix
