// The panel's text rules: names from paths, web addresses, the dialogs' checks.
#include <gtest/gtest.h>

#include "shortcuts/ShortcutRules.h"
#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

TEST(ShortcutRules, WebAddressesGetASchemeOnlyWhenTheyHaveNone) {
    EXPECT_EQ(webAddressWithScheme("www.example.cn"), "http://www.example.cn");
    EXPECT_EQ(webAddressWithScheme("  www.example.cn "), "http://www.example.cn");
    EXPECT_EQ(webAddressWithScheme("http://a.cn/"), "http://a.cn/");
    EXPECT_EQ(webAddressWithScheme("https://a.cn/"), "https://a.cn/") << "not http://https://";
    EXPECT_EQ(webAddressWithScheme("HTTPS://a.cn/"), "HTTPS://a.cn/");
    EXPECT_EQ(webAddressWithScheme("ftp://a.cn/"), "ftp://a.cn/");
    EXPECT_EQ(webAddressWithScheme("a.cn/?u=http://b"), "http://a.cn/?u=http://b");
    EXPECT_EQ(webAddressWithScheme("C://x"), "http://C://x") << "a drive is no scheme";

    EXPECT_TRUE(isWebAddress("http://a"));
    EXPECT_TRUE(isWebAddress("https://a"));
    EXPECT_FALSE(isWebAddress("C:\\Windows"));
    EXPECT_FALSE(isWebAddress("C://Windows"));
    EXPECT_FALSE(isWebAddress("1a://x"));
    EXPECT_FALSE(isWebAddress("://x"));
}

TEST(ShortcutRules, NamesComeFromTheLastPartOfAPath) {
    EXPECT_EQ(nameFromPath("C:\\Program Files\\QQ\\QQ.exe"), "QQ.exe");
    EXPECT_EQ(nameFromPath("C:\\"), "C:\\") << "a drive keeps its whole path";
    EXPECT_EQ(nameFromPath("D:\\Games"), "Games");
    EXPECT_EQ(nameFromPath("plain"), "plain");
    // A double-byte character whose second byte is '\': not a separator.
    EXPECT_EQ(nameFromPath("D:\\\x95\x5c\x61.exe"), "\x95\x5c\x61.exe");

    EXPECT_EQ(captionFromFileName("C:\\Desktop\\My App.lnk"), "My App");
    EXPECT_EQ(captionFromFileName("C:\\a.b\\README"), "README");
    EXPECT_EQ(captionFromFileName("C:\\x\\a.tar.gz"), "a.tar");
    EXPECT_EQ(captionFromFileName("C:\\x\\.profile"), ".profile");

    EXPECT_EQ(locationFromTarget("C:\\Tools\\app.exe"), "C:\\Tools\\app.exe");
    EXPECT_EQ(locationFromTarget("C:\\Tools"), "C:\\Tools\\");
    EXPECT_EQ(locationFromTarget("C:\\"), "C:\\");
    EXPECT_EQ(locationFromTarget(""), "");

    EXPECT_EQ(truncateGb("ab\xb3\xa3\xd3\xc3", 5), "ab\xb3\xa3");
    EXPECT_EQ(truncateGb("ab\xb3\xa3\xd3\xc3", 6), "ab\xb3\xa3\xd3\xc3");
    EXPECT_EQ(truncateGb("abc", 0), "");
}

TEST(ShortcutRules, TheAddDialogsChecksAndMessages) {
    EXPECT_EQ(checkNewFolder(3, "  ").message, IDS_SHORTCUT_EMPTY_GROUP_NAME);
    EXPECT_EQ(checkNewFolder(8, "x").message, IDS_SHORTCUT_TOO_MANY_FOLDERS) << "after the name";
    EXPECT_EQ(checkNewFolder(9, "").message, IDS_SHORTCUT_EMPTY_GROUP_NAME);
    const TextCheck ok = checkNewFolder(7, " \xd3\xce\xcf\xb7 ");
    EXPECT_TRUE(ok.accepted());
    EXPECT_EQ(ok.value, "\xd3\xce\xcf\xb7");
    EXPECT_EQ(checkNewFolder(2, std::string(1000, 'n')).value.size(), kMaxFolderNameBytes);

    EXPECT_EQ(checkFilePath(" \t").message, IDS_SHORTCUT_EMPTY_FILE_PATH);
    EXPECT_EQ(checkFilePath(" C:\\a.exe ").value, "C:\\a.exe");
    EXPECT_EQ(checkFilePath("C:\\" + std::string(300, 'a')).message, IDS_SHORTCUT_PATH_TOO_LONG);

    EXPECT_EQ(checkWebPage(" ", "a.cn").message, IDS_SHORTCUT_NO_SITE_NAME);
    EXPECT_EQ(checkWebPage("A", " ").message, IDS_SHORTCUT_NO_SITE_ADDRESS);
    EXPECT_EQ(checkWebPage("A", std::string(250, 'a')).message, IDS_SHORTCUT_PATH_TOO_LONG)
        << "too long once the scheme is in front";
    const WebPageCheck page = checkWebPage("A", "www.a.cn");
    EXPECT_TRUE(page.accepted());
    EXPECT_EQ(page.address, "http://www.a.cn");
}

TEST(ShortcutRules, TheQuestionBeforeAShortcutIsDeleted) {
    // 确定要删除"常用软件"分组中的 / "A"栏目吗?
    EXPECT_EQ(deleteShortcutQuestion(gbText(IDS_SHORTCUT_COMMON_SOFTWARE), "A"),
              "\xc8\xb7\xb6\xa8\xd2\xaa\xc9\xbe\xb3\xfd\"\xb3\xa3\xd3\xc3\xc8\xed\xbc\xfe\""
              "\xb7\xd6\xd7\xe9\xd6\xd0\xb5\xc4\n\"A\"\xc0\xb8\xc4\xbf\xc2\xf0?");
}

}  // namespace
}  // namespace tarnix
