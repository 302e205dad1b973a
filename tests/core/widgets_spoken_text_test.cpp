// What a screen reader is given to say for a control's caption.
#include <gtest/gtest.h>

#include "widgets/SpokenText.h"

namespace tarnix {
namespace {

TEST(SpokenCaption, DropsMnemonicsAndTheSpacingOfChineseCaptions) {
    EXPECT_EQ(spokenCaption(L"登 录"), L"登录");
    EXPECT_EQ(spokenCaption(L"断  开(&D)"), L"断开(D)");
    EXPECT_EQ(spokenCaption(L"&Save && close"), L"Save & close") << "English keeps its spaces";
    EXPECT_EQ(spokenCaption(L"IP 地址"), L"IP 地址") << "only spaces between Chinese go";
    EXPECT_EQ(spokenCaption(L" 登 "), L" 登 ");
    EXPECT_EQ(spokenCaption(L"&"), L"");
    EXPECT_EQ(spokenCaption(L""), L"");
}

TEST(SpokenCaption, FillsInValuesInTheirOrder) {
    EXPECT_EQ(fillIn(L"接收 %s KB/s，发送 %s KB/s", {L"1.5", L"0.0"}), L"接收 1.5 KB/s，发送 0.0 KB/s");
    EXPECT_EQ(fillIn(L"%s：%s", {L"网卡"}), L"网卡：") << "a missing value leaves its place empty";
    EXPECT_EQ(fillIn(L"100%", {L"x"}), L"100%");
    EXPECT_EQ(oneDecimal(12.345), L"12.3");
    EXPECT_EQ(oneDecimal(1.0 / 0.0), L"0.0");
}

}  // namespace
}  // namespace tarnix
