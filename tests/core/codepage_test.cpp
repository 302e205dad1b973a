// Code page 936 conversions, the same on every platform.
#include <gtest/gtest.h>

#include "base/CodePage.h"

namespace tarnix {
namespace {

const std::string kGb = "\xb4\xfd\xbd\xe2\xc3\xdc A1 \xa3\xa1";  // "待解密 A1 ！"
const std::string kUtf8 = "\xe5\xbe\x85\xe8\xa7\xa3\xe5\xaf\x86 A1 \xef\xbc\x81";
const std::wstring kWide = L"\u5f85\u89e3\u5bc6 A1 \uff01";

TEST(CodePage, ConvertsBothWays) {
    EXPECT_EQ(gbToUtf8(kGb), kUtf8);
    EXPECT_EQ(utf8ToGb(kUtf8), kGb);
    EXPECT_EQ(gbToWide(kGb), kWide);
    EXPECT_EQ(wideToGb(kWide), kGb);
    EXPECT_EQ(gbToUtf8(""), "");
    EXPECT_EQ(wideToGb(L""), "");
    EXPECT_EQ(gbToWide("\x80"), L"\u20ac");  // code page 936 has the euro sign at 0x80
    const std::string big(100000, 'x');      // more than one conversion buffer
    EXPECT_EQ(gbToUtf8(big + kGb), big + kUtf8);
}

TEST(CodePage, UnconvertibleInputBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToGb("a\xf0\x9f\x98\x80"
                       "b"),
              "a?b");  // no emoji in GB2312
    EXPECT_EQ(utf8ToGb("a\xff"
                       "b"),
              "a?b");                         // not UTF-8
    EXPECT_EQ(utf8ToGb("a\xe4\xb8"), "a?");   // cut short
    EXPECT_EQ(gbToUtf8("a\xd6"), "a?");       // lead byte at the end
    EXPECT_EQ(wideToGb(L"a\u0e01b"), "a?b");  // Thai
}

TEST(CodePage, SingleCodePoints) {
    EXPECT_EQ(codePointToGb(0x4e2d), "\xd6\xd0");
    EXPECT_EQ(codePointToGb('A'), "A");
    EXPECT_EQ(codePointToGb(0), "");
    EXPECT_EQ(codePointToGb(0xd800), "");
    EXPECT_EQ(codePointToGb(0x1f600), "");
    EXPECT_EQ(codePointToGb(0x110000), "");
}

}  // namespace
}  // namespace tarnix
