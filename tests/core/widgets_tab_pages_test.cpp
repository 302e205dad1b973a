// The tab host's rules apart from its windows.
#include <gtest/gtest.h>

#include "widgets/TabPages.h"

namespace tarnix {
namespace {

TEST(TabPages, HoldSixteenPagesAndSelectOnlyPagesThatExist) {
    TabPages pages;
    EXPECT_FALSE(pages.select(0)) << "no page yet";
    for (int i = 0; i < TabPages::kMaxPages; ++i) EXPECT_TRUE(pages.add());
    EXPECT_FALSE(pages.add()) << "a seventeenth is refused";
    EXPECT_EQ(pages.count(), 16);
    EXPECT_EQ(pages.selected(), 0) << "the first page shows";

    EXPECT_TRUE(pages.select(15));
    EXPECT_FALSE(pages.select(15)) << "selecting the page shown changes nothing";
    for (int outside : {-1, 16, 1000}) EXPECT_FALSE(pages.select(outside));
    EXPECT_EQ(pages.selected(), 15);
}

TEST(TabPages, APageStandsBelowTheTabRowAndNeverTurnsInsideOut) {
    PageBox page = TabPages::placePage({0, 0, 300, 200}, {2, 2, 60, 22});
    EXPECT_EQ(page.left, 2);
    EXPECT_EQ(page.top, 23);
    EXPECT_EQ(page.right, 298);
    EXPECT_EQ(page.bottom, 198);

    PageBox tiny = TabPages::placePage({0, 0, 10, 10}, {2, 2, 60, 22});
    EXPECT_GE(tiny.width(), 0);
    EXPECT_GE(tiny.height(), 0);
}

}  // namespace
}  // namespace tarnix
