// The tab host's rules, the list columns' widths and the toolbar's keys, apart from their
// windows.
#include <gtest/gtest.h>

#include <numeric>

#include "widgets/ColumnFit.h"
#include "widgets/TabPages.h"
#include "widgets/ToolbarKeys.h"

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

TEST(TabPages, CtrlTabGoesRoundPastEitherEnd) {
    TabPages pages;
    EXPECT_EQ(pages.neighbour(1), -1) << "no page to go to";
    for (int i = 0; i < 4; ++i) pages.add();
    EXPECT_EQ(pages.neighbour(1), 1);
    EXPECT_EQ(pages.neighbour(-1), 3);
    pages.select(3);
    EXPECT_EQ(pages.neighbour(1), 0);
    EXPECT_EQ(pages.neighbour(-5), 2);
}

TEST(TabPages, APageStandsBelowTheTabRowAndNeverTurnsInsideOut) {
    Rect page = TabPages::placePage({0, 0, 300, 200}, {2, 2, 60, 22});
    EXPECT_EQ(page.left, 2);
    EXPECT_EQ(page.top, 23);
    EXPECT_EQ(page.right, 298);
    EXPECT_EQ(page.bottom, 198);

    Rect tiny = TabPages::placePage({0, 0, 10, 10}, {2, 2, 60, 22});
    EXPECT_GE(tiny.width(), 0);
    EXPECT_GE(tiny.height(), 0);
}

TEST(ColumnFit, ColumnsFitTheListAndNoneIsCutBelowWhatItNeeds) {
    auto sum = [](const std::vector<int>& w) { return std::accumulate(w.begin(), w.end(), 0); };
    // Too wide: each gives up what it has above its minimum, in proportion; a column whose
    // desired width is below its minimum (a header the font draws wider) gets the minimum.
    std::vector<ColumnSpan> columns = {{30, 40}, {90, 50}, {130, 125}, {100, 70}};
    std::vector<int> fitted = fitColumns(columns, 300);
    EXPECT_EQ(sum(fitted), 300);
    EXPECT_EQ(fitted[0], 40);
    EXPECT_GE(fitted[2], 125);
    EXPECT_GT(90 - fitted[1], 130 - fitted[2]) << "more room to give, more given";
    for (int available : {285, 286, 287, 299, 351, 352}) {
        fitted = fitColumns(columns, available);
        EXPECT_EQ(sum(fitted), std::min(available, 360)) << available;
        for (size_t i = 0; i < columns.size(); ++i) EXPECT_GE(fitted[i], columns[i].minimum);
    }
    EXPECT_EQ(fitColumns(columns, 100), (std::vector<int>{40, 50, 125, 70})) << "minimums stay";
    EXPECT_EQ(fitColumns(columns, 1000), (std::vector<int>{40, 90, 130, 100})) << "no stretcher";

    // Room left over goes to the stretching column; none left, it keeps its minimum.
    columns[3].stretch = true;
    EXPECT_EQ(fitColumns(columns, 500), (std::vector<int>{40, 90, 130, 240}));
    EXPECT_EQ(fitColumns(columns, 285), (std::vector<int>{40, 50, 125, 70}));
    EXPECT_TRUE(fitColumns({}, 100).empty());
}

// The hot button walks only what can be pressed, stops at either end, and a hot button
// greyed (or a toolbar changed underneath it) gives way to its nearest pressable neighbour.
TEST(ToolbarKeys, TheHotButtonSkipsWhatCannotBePressedAndStopsAtTheEnds) {
    // connect, disconnect (greyed), a separator, settings, update
    const std::vector<bool> buttons{true, false, false, true, true};
    EXPECT_EQ(moveHot(buttons, 0, ToolbarKey::Next), 3);
    EXPECT_EQ(moveHot(buttons, 3, ToolbarKey::Previous), 0);
    EXPECT_EQ(moveHot(buttons, 4, ToolbarKey::Next), 4) << "stays at the end";
    EXPECT_EQ(moveHot(buttons, 0, ToolbarKey::Previous), 0) << "stays at the start";
    EXPECT_EQ(moveHot(buttons, 3, ToolbarKey::First), 0);
    EXPECT_EQ(moveHot(buttons, 0, ToolbarKey::Last), 4);
    EXPECT_EQ(moveHot(buttons, -1, ToolbarKey::Next), 0) << "none hot yet";
    EXPECT_EQ(moveHot(buttons, -1, ToolbarKey::Previous), 4);
    EXPECT_EQ(moveHot(buttons, 99, ToolbarKey::Next), 0) << "an index the toolbar lost";

    EXPECT_EQ(keepHot(buttons, 3), 3);
    EXPECT_EQ(keepHot(buttons, 1), 3) << "greyed: the next one";
    EXPECT_EQ(keepHot({true, true, false}, 2), 1) << "greyed last: the one before";
    EXPECT_EQ(keepHot(buttons, -1), 0);
    EXPECT_EQ(moveHot({false, true, false}, 1, ToolbarKey::Next), 1);
    for (int hot : {-1, 0, 2})
        EXPECT_EQ(keepHot({false, false, false}, hot), -1) << "nothing to press";
    EXPECT_EQ(moveHot({}, -1, ToolbarKey::Last), -1);
}

}  // namespace
}  // namespace tarnix
