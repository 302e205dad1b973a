// The pieces the update check and the updater trust: SHA-256 against the standard's
// vectors, version numbers, the http addresses and the version list's package.
#include <gtest/gtest.h>

#include "update/Sha256.h"
#include "update/UpdateFiles.h"
#include "base/net/Url.h"
#include "update/UpdateVersion.h"
#include "update_fixture.h"

namespace tarnix {
namespace {

TEST(UpdateSha256, KnownVectorsInAnyPieces) {
    EXPECT_EQ(toHex(Sha256::of("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(toHex(Sha256::of("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(toHex(Sha256::of(two)),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // A million 'a', fed in uneven pieces that cross the 64-byte blocks.
    Sha256 hash;
    std::string piece(997, 'a');
    std::size_t left = 1000000;
    while (left) {
        std::size_t n = std::min(left, piece.size());
        hash.add(piece.data(), n);
        left -= n;
    }
    EXPECT_EQ(toHex(hash.finish()),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Lengths around the padding boundary.
    for (std::size_t n : {55u, 56u, 63u, 64u, 65u}) {
        Sha256 split;
        std::string text(n, 'q');
        split.add(text.substr(0, n / 3));
        split.add(text.substr(n / 3));
        EXPECT_EQ(split.finish(), Sha256::of(text)) << n;
    }
}

TEST(UpdateSha256, DigestTextIsExactlySixtyFourHexDigits) {
    std::string hex = toHex(Sha256::of("abc"));
    std::string upper = hex;
    for (char& c : upper) c = char(std::toupper(c));
    EXPECT_EQ(parseSha256(upper), Sha256::of("abc"));
    EXPECT_EQ(parseSha256(" " + hex + "\t"), Sha256::of("abc"));
    for (const std::string& bad : std::vector<std::string>{std::string(), hex.substr(1), hex + "0", hex.substr(0, 63) + "g",
                            std::string(64, ' '), "0x" + hex.substr(2)}) {
        EXPECT_FALSE(parseSha256(bad)) << bad;
    }
}

TEST(UpdateVersion, ComparedAsDecimalNumbers) {
    EXPECT_TRUE(isNewerVersion("1.21", "1.2"));
    EXPECT_FALSE(isNewerVersion("1.2", "1.2"));
    EXPECT_FALSE(isNewerVersion("1.20", "1.2"));
    EXPECT_FALSE(isNewerVersion("1.1", "1.2"));
    EXPECT_FALSE(isNewerVersion("1.10", "1.9")) << "1.10 is the number 1.1";
    EXPECT_TRUE(isNewerVersion("2", "1.9"));
    EXPECT_TRUE(isNewerVersion(" 1.3 ", "1.2"));
    EXPECT_EQ(parseVersion("0.0"), 0.0);
}

TEST(UpdateVersion, TextThatIsNoVersionNeverCountsAsNewer) {
    for (const char* bad : {"abc", "1.2.3", "-1", "1e9", "0x10", "", " ", ".5", "5.", "1,2",
                            "inf", "nan", "+2", "1 2", "\xb0\xe6\xb1\xbe"}) {
        EXPECT_FALSE(parseVersion(bad)) << bad;
        EXPECT_FALSE(isNewerVersion(bad, "1.0")) << bad;
        EXPECT_FALSE(isNewerVersion("9", bad)) << bad;
    }
    EXPECT_FALSE(parseVersion(std::string(400, '9'))) << "huge";
    EXPECT_TRUE(parseVersion(std::string(20, '9')));
}

TEST(UpdateUrl, OnlyPlainHttpAddressesAreFetched) {
    auto a = parseHttpUrl("http://update.example.cn:8080/tarnix/UpdateList.ini?x=1#top");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, "update.example.cn");
    EXPECT_EQ(a->port, 8080);
    EXPECT_EQ(a->path, "/tarnix/UpdateList.ini?x=1");
    auto b = parseHttpUrl("HTTP://10.0.0.1");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->port, 80);
    EXPECT_EQ(b->path, "/");
    for (const char* bad :
         {"", "   ", "https://h/x", "ftp://h/x", "file:///C:/x.ini", "C:\\x.ini", "http://",
          "http:///x", "http://h:0/", "http://h:65536/", "http://h:/x", "http://h:8x/",
          "http://user:pw@h/x", "http://h/a b", "http://h/a\x01", "http://h/\xb0\xe6",
          "http://-h/", "http://h x/", "//h/x", "http:\\\\h\\x"}) {
        EXPECT_FALSE(parseHttpUrl(bad)) << bad;
    }
    EXPECT_FALSE(parseHttpUrl("http://h/" + std::string(5000, 'a')));
}

TEST(UpdateFiles, ListWithoutAUsablePackageHasNone) {
    testing::UpdateFolders folders;
    std::string sha = toHex(Sha256::of("x"));
    auto read = [&](const std::string& text) {
        testing::UpdateFolders::writeFile(folders.list(), text);
        return readUpdateList(systemProfile(), folders.list());
    };
    UpdateList good = read(testing::listText(
        "1.3", "[Package]\r\nURL=http://h/p.exe\r\nSize=12\r\nSHA256=" + sha + "\r\n"));
    EXPECT_EQ(good.version, "1.3");
    ASSERT_TRUE(good.package);
    EXPECT_EQ(good.package->size, 12u);
    EXPECT_EQ(good.package->sha256, Sha256::of("x"));
    for (const std::string& package : std::vector<std::string>{"", "[Package]\r\n", "[Package]\r\nURL=https://h/p.exe\r\nSize=12\r\nSHA256=" + sha,
          "[Package]\r\nURL=http://h/p.exe\r\nSize=0\r\nSHA256=" + sha,
          "[Package]\r\nURL=http://h/p.exe\r\nSize=-5\r\nSHA256=" + sha,
          "[Package]\r\nURL=http://h/p.exe\r\nSize=99999999999999999999\r\nSHA256=" + sha,
          "[Package]\r\nURL=http://h/p.exe\r\nSize=12\r\nSHA256=abc"}) {
        EXPECT_FALSE(read(testing::listText("1.3", package)).package) << package;
    }
    EXPECT_EQ(read("garbage \x01\x02\xff\r\n[[[\r\n").version, "0.0");
    UpdateSource none = readUpdateSource(systemProfile(), folders.program());
    EXPECT_EQ(none.installedVersion, "1.0");
    EXPECT_EQ(none.url, "");
}

}  // namespace
}  // namespace tarnix
