// Why a dial failed, in the words the status line and the balloon show.
#include <gtest/gtest.h>

#include "dial/DialFailure.h"
#include "base/CodePage.h"

namespace tarnix {
namespace {

std::string textOf(int error) {
    return gbToUtf8(wideToGb(dialFailureText(error)));
}

TEST(DialFailure, EachKnownErrorSaysItsCauseWithItsNumber) {
    EXPECT_EQ(textOf(691), "错误691：用户名或密码错误，请重新输入");
    EXPECT_EQ(textOf(678), "错误678：宽带服务器无响应，请稍后重拨");
    EXPECT_EQ(textOf(815), "错误815：宽带服务器无响应，请稍后重拨");
    EXPECT_EQ(textOf(651), "错误651：宽带服务器无响应，请稍后重拨");
    EXPECT_EQ(textOf(676), "错误676：线路忙，请稍后重拨");
    EXPECT_EQ(textOf(720), "错误720：未能获得IP地址，请稍后重拨");
    // Causes on the subscriber's side point to the fault check.
    EXPECT_EQ(textOf(633), "错误633：拨号设备异常，可用工具→故障检测");
    EXPECT_EQ(textOf(623), "错误623：拨号连接异常，可用工具→故障检测");
    EXPECT_EQ(textOf(769), "错误769：网络不通，可用工具→故障检测");
    EXPECT_EQ(textOf(668), "错误668：连接已断开，可用工具→故障检测");
    EXPECT_EQ(textOf(kDialErrorNoDevice), "未找到宽带拨号设备，可用工具→故障检测");
}

TEST(DialFailure, AnyOtherErrorIsShownByItsNumberAndNoErrorByNothing) {
    EXPECT_EQ(textOf(5), "拨号失败，错误代码5");
    EXPECT_EQ(textOf(65535), "拨号失败，错误代码65535");
    EXPECT_EQ(textOf(-1), "拨号失败，错误代码-1");
    EXPECT_EQ(dialFailureText(0), L"");
}

TEST(DialFailure, EveryTextFitsTheStatusLine) {
    // The status line shows about 41 half-width cells, one per GB2312 byte.
    for (int error = -1; error < 100000; ++error)
        EXPECT_LE(wideToGb(dialFailureText(error)).size(), 41u) << error;
}

}  // namespace
}  // namespace tarnix
