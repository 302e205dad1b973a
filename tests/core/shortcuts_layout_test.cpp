// The outlook bar's geometry: header stacks, item places in both views, hit test, scroll
// arrows, drop places and the slide between folders.
#include <gtest/gtest.h>

#include "shortcuts/OutlookBarLayout.h"

namespace tarnix {
namespace {

constexpr Rect kClient{0, 0, 200, 400};

// `folders` folders, `open` open, `items` items in it.
OutlookBarModel makeBar(int folders, int open, int items, bool small = true) {
    OutlookBarModel bar(small ? kOutlookDefaultFlags | kOutlookSmallIcons : kOutlookDefaultFlags);
    for (int f = 0; f < folders; ++f) bar.addFolder("F" + std::to_string(f));
    for (int i = 0; i < items; ++i) bar.insertItem(open, -1, OutlookItem{});
    bar.openFolder(open);
    return bar;
}

OutlookMetrics metrics(const OutlookBarModel& bar, BarSize caption) {
    OutlookMetrics m;
    m.client = kClient;
    m.icon = bar.smallIcons() ? BarSize{16, 16} : BarSize{32, 32};
    m.captions.assign(bar.itemCount(), caption);
    m.arrowSize = 16;
    return m;
}

Point centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(OutlookBarLayout, HeadersStackAboveAndBelowTheOpenFolder) {
    OutlookBarModel bar = makeBar(3, 1, 0);
    OutlookBarLayout layout(bar, metrics(bar, {}));
    EXPECT_EQ(layout.header(0), (Rect{0, -1, 200, 21}));
    EXPECT_EQ(layout.header(1), (Rect{0, 21, 200, 43}));
    EXPECT_EQ(layout.header(2), (Rect{0, 378, 200, 400})) << "at the bottom edge";
    EXPECT_EQ(layout.itemArea(), (Rect{0, 43, 200, 378}));

    EXPECT_EQ(layout.hitTest({100, 0}), (OutlookHit{OutlookHit::Header, 0}));
    EXPECT_EQ(layout.hitTest({100, 21}), (OutlookHit{OutlookHit::Header, 1}));
    EXPECT_EQ(layout.hitTest({100, 399}), (OutlookHit{OutlookHit::Header, 2}));
    EXPECT_EQ(layout.hitTest({100, 200}), OutlookHit{});

    // The last folder open: every header at the top, the area down to the client's bottom.
    bar.openFolder(2);
    OutlookBarLayout last(bar, metrics(bar, {}));
    EXPECT_EQ(last.header(2), (Rect{0, 43, 200, 65}));
    EXPECT_EQ(last.itemArea(), (Rect{0, 65, 200, 400}));
}

TEST(OutlookBarLayout, SmallViewPlacesIconsAtTheLeftWithCaptionsBeside) {
    OutlookBarModel bar = makeBar(2, 1, 3);
    OutlookBarLayout layout(bar, metrics(bar, {40, 14}));
    EXPECT_EQ(layout.itemSize({40, 14}), (BarSize{16 + 4 + 40, 16}));

    const OutlookItemPlace first = layout.itemPlace(0);
    EXPECT_EQ(first.icon, (Rect{7, 48, 23, 64})) << "5 below the header, 7 from the left";
    EXPECT_EQ(first.caption, (Rect{27, 49, 67, 63})) << "4 right of the icon, centred";
    EXPECT_EQ(layout.itemPlace(1).icon.top, 48 + 16 + 10);

    EXPECT_EQ(layout.hitTest(centre(first.icon)), (OutlookHit{OutlookHit::Item, 0}));
    EXPECT_EQ(layout.hitTest(centre(first.caption)), (OutlookHit{OutlookHit::Item, 0}));
    EXPECT_EQ(layout.hitTest({150, 56}), OutlookHit{}) << "beside the caption";
    EXPECT_EQ(layout.hitTest({10, 68}), OutlookHit{}) << "in the gap between items";
    EXPECT_EQ(layout.hitTest(centre(layout.itemPlace(2).icon)), (OutlookHit{OutlookHit::Item, 2}));
}

TEST(OutlookBarLayout, LargeViewCentresIconsWithCaptionsBelow) {
    OutlookBarModel bar = makeBar(2, 1, 2, false);
    OutlookBarLayout layout(bar, metrics(bar, {60, 28}));
    EXPECT_EQ(layout.itemSize({60, 28}), (BarSize{60, 32 + 3 + 8 + 28}));
    EXPECT_EQ(layout.itemSize({10, 14}).cx, 32) << "never narrower than the icon";

    const OutlookItemPlace first = layout.itemPlace(0);
    EXPECT_EQ(first.icon, (Rect{84, 48, 116, 80}));
    EXPECT_EQ(first.caption, (Rect{70, 83, 130, 111}));
    EXPECT_EQ(layout.itemPlace(1).icon.top, 48 + 71 + 8);
    EXPECT_EQ(OutlookBarLayout::captionWrapWidth(kClient), 190);

    EXPECT_EQ(layout.itemEditBox(0), (Rect{5, 83, 195, 116}));
    EXPECT_EQ(layout.folderEditBox(1), (Rect{2, 23, 198, 41}));
}

TEST(OutlookBarLayout, ItemsAreLaidOutFromTheFirstVisibleOne) {
    OutlookBarModel bar = makeBar(2, 1, 20);
    bar.setFirstVisible(5);
    OutlookBarLayout layout(bar, metrics(bar, {40, 14}));
    EXPECT_EQ(layout.itemPlace(5).icon.top, 48);
    EXPECT_EQ(layout.itemPlace(4).icon.top, 48 - 26) << "earlier items lie above the area";
    EXPECT_EQ(layout.hitTest({10, 30}), (OutlookHit{OutlookHit::Header, 1}));

    // 26 pixels an item in an area of 357 from its first item: 14 start inside it.
    const std::vector<int> shown = layout.shownItems();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 5);
    EXPECT_EQ(shown.back(), 18);
    EXPECT_LT(layout.itemPlace(shown.back()).item.top, layout.itemArea().bottom);
    EXPECT_GE(layout.itemPlace(shown.back() + 1).item.top, layout.itemArea().bottom);
}

TEST(OutlookBarLayout, ScrollArrowsShowWhenItemsAreCutOff) {
    // No items, or all of them fitting: no arrows.
    OutlookBarModel empty = makeBar(2, 1, 0);
    OutlookBarLayout none(empty, metrics(empty, {40, 14}));
    EXPECT_FALSE(none.upArrowShown());
    EXPECT_FALSE(none.downArrowShown());
    OutlookBarModel few = makeBar(2, 1, 3);
    OutlookBarLayout fits(few, metrics(few, {40, 14}));
    EXPECT_FALSE(fits.upArrowShown());
    EXPECT_FALSE(fits.downArrowShown());

    OutlookBarModel bar = makeBar(2, 1, 20);
    OutlookBarLayout top(bar, metrics(bar, {40, 14}));
    EXPECT_FALSE(top.upArrowShown());
    EXPECT_TRUE(top.downArrowShown());
    EXPECT_EQ(top.upArrow(), (Rect{179, 48, 195, 64}));
    EXPECT_EQ(top.downArrow(), (Rect{179, 379, 195, 395}));
    EXPECT_EQ(top.hitTest(centre(top.downArrow())), (OutlookHit{OutlookHit::DownArrow, -1}));
    EXPECT_EQ(top.hitTest(centre(top.upArrow())), OutlookHit{}) << "a hidden arrow is not hit";

    // Scrolled to the end: the last item fits, only the up arrow remains.
    bar.setFirstVisible(19);
    OutlookBarLayout end(bar, metrics(bar, {40, 14}));
    EXPECT_TRUE(end.upArrowShown());
    EXPECT_FALSE(end.downArrowShown());
    EXPECT_EQ(end.hitTest(centre(end.upArrow())), (OutlookHit{OutlookHit::UpArrow, -1}));

    // An arrow over an item's caption wins over the item.
    OutlookBarModel wide = makeBar(2, 1, 20);
    wide.setFirstVisible(1);
    OutlookBarLayout over(wide, metrics(wide, {190, 14}));
    ASSERT_TRUE(over.itemPlace(1).caption.contains(centre(over.upArrow())));
    EXPECT_EQ(over.hitTest(centre(over.upArrow())).kind, OutlookHit::UpArrow);
}

TEST(OutlookBarLayout, DropPlacesAndTheInsertionMark) {
    OutlookBarModel bar = makeBar(3, 1, 3);
    OutlookBarLayout layout(bar, metrics(bar, {40, 14}));
    // Rows are 48..64, 74..90, 100..116.
    EXPECT_EQ(layout.dropPlace({10, 44}), 0) << "above the first item";
    EXPECT_EQ(layout.dropPlace({150, 80}), 1) << "anywhere in the row";
    EXPECT_EQ(layout.dropPlace({10, 95}), 2) << "in the gap above the third";
    EXPECT_EQ(layout.dropPlace({10, 116}), 3) << "below the last item: the end";
    EXPECT_EQ(layout.dropPlace({10, 377}), 3);
    EXPECT_EQ(layout.dropPlace({10, 380}), -1) << "on a header";
    EXPECT_EQ(layout.dropPlace({10, 10}), -1);

    EXPECT_EQ(layout.insertionMark(1), (Rect{5, 69, 195, 70}));
    EXPECT_EQ(layout.insertionMark(3), (Rect{5, 121, 195, 122}));
    EXPECT_EQ(layout.insertionMark(0).top, 45);
}

TEST(OutlookBarLayout, SlideMovesTheHeadersBetweenTheFoldersAHeaderHeightAStep) {
    OutlookBarModel bar = makeBar(3, 0, 0);
    OutlookBarLayout layout(bar, metrics(bar, {}));
    EXPECT_TRUE(layout.slideFrames(0).empty()) << "the open folder does not slide";
    EXPECT_TRUE(layout.slideFrames(7).empty());

    // Opening folder 2 lifts headers 1 and 2 together from the bottom stack to the top.
    const auto up = layout.slideFrames(2);
    ASSERT_EQ(up.size(), 15u);
    for (std::size_t k = 0; k < up.size(); ++k) {
        const int y = 356 - 22 * static_cast<int>(k + 1);
        EXPECT_EQ(up[k].headers[0], (Rect{0, -1, 200, 21}));
        EXPECT_EQ(up[k].headers[1].top, y);
        EXPECT_EQ(up[k].headers[2].top, y + 22);
        EXPECT_EQ(up[k].newItems, (Rect{0, y + 44, 200, 400}));
    }
    EXPECT_GT(up.back().headers[1].top, 21) << "the last step stops short of the end";

    // And back: the same headers go down, uncovering folder 0's items.
    bar.openFolder(2);
    OutlookBarLayout open2(bar, metrics(bar, {}));
    const auto down = open2.slideFrames(0);
    ASSERT_EQ(down.size(), 15u);
    EXPECT_EQ(down.front().headers[1].top, 21 + 22);
    EXPECT_EQ(down.front().newItems, (Rect{0, 21, 200, 43}));
    EXPECT_LT(down.back().headers[2].top, 378);

    // A client too small for the headers slides nothing and still ends.
    OutlookMetrics tiny = metrics(bar, {});
    tiny.client = {0, 0, 200, 30};
    EXPECT_TRUE(OutlookBarLayout(bar, tiny).slideFrames(0).empty());
}

}  // namespace
}  // namespace tarnix
