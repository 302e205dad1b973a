// The texts of the generated table, as the tests and the native build read them.
#include <gtest/gtest.h>

#include "TextIds.h"
#include "base/TableTexts.h"

namespace tarnix {
namespace {

TEST(Texts, TheTableAnswersByIdInBothForms) {
    EXPECT_EQ(text(IDS_PROMPT_CAPTION), L"\u63d0\u793a");  // "提示"
    EXPECT_EQ(gbText(IDS_PROMPT_CAPTION), "\xcc\xe1\xca\xbe");
    // Mixed ASCII and Chinese, and a text under a number the outside knows it by.
    EXPECT_EQ(gbText(103), "Windows \xcd\xa8\xd0\xc5\xb6\xcb\xbf\xda\xb3\xf5\xca\xbc\xbb\xaf"
                           "\xca\xa7\xb0\xdc\xa1\xa3");
    EXPECT_EQ(text(IDS_REDIALLING), L"\u6b63\u5728\u91cd\u62e8\uff08\u7b2c %d \u6b21\uff09\u2026");
}

TEST(Texts, TheTabTipsFollowOneAnotherAndUnknownIdsAreEmpty) {
    EXPECT_EQ(IDS_TAB_LOGIN, 32785);
    EXPECT_EQ(text(IDS_TAB_LOGIN + 3), text(IDS_TAB_CONTACT));
    EXPECT_EQ(text(1), L"");
    EXPECT_EQ(tableTexts().find(0xffffffffu), L"");
}

}  // namespace
}  // namespace tarnix
