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

}  // namespace
}  // namespace tarnix
