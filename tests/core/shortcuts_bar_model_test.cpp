// The outlook bar's model: folders, items, the notices to the owner and its answers, the
// press-and-drag rules and the context menu's states.
#include <gtest/gtest.h>

#include "shortcuts/OutlookBarKeys.h"
#include "shortcuts/OutlookBarMenu.h"
#include "shortcuts/OutlookItemPress.h"
#include "shortcuts/ShortcutRules.h"

namespace tarnix {
namespace {

// Records every notice and answers with `answer`.
struct Owner {
    std::vector<OutlookNotification> notices;
    std::intptr_t answer = 1;
    void attach(OutlookBarModel& bar) {
        bar.setNotifier([this](const OutlookNotification& n) {
            notices.push_back(n);
            return answer;
        });
    }
    int count(OutlookNotice code) const {
        int n = 0;
        for (const auto& notice : notices) n += notice.code == code;
        return n;
    }
};

OutlookItem named(const std::string& caption) {
    OutlookItem item;
    item.caption = caption;
    item.target = "C:\\" + caption + ".exe";
    return item;
}

// Folders A, B, C; folder 1 open with items a, b, c.
OutlookBarModel threeByThree() {
    OutlookBarModel bar(kOutlookDefaultFlags | kOutlookSmallIcons);
    for (const char* f : {"A", "B", "C"}) bar.addFolder(f);
    for (const char* i : {"a", "b", "c"}) bar.insertItem(1, -1, named(i));
    bar.openFolder(1);
    return bar;
}

std::string order(const OutlookBarModel& bar) {
    std::string s;
    for (int i = 0; i < bar.itemCount(); ++i) s += bar.itemCaption(i);
    return s;
}

TEST(OutlookBarModel, OpeningAFolderTellsTheOwnerOnlyWhenItChanges) {
    OutlookBarModel bar = threeByThree();
    Owner owner;
    owner.attach(bar);
    bar.setFirstVisible(2);
    bar.clickItem(1);

    EXPECT_FALSE(bar.openFolder(1)) << "already open";
    EXPECT_FALSE(bar.openFolder(3));
    EXPECT_FALSE(bar.openFolder(-1));
    EXPECT_EQ(owner.count(OutlookNotice::FolderOpened), 0);
    EXPECT_EQ(bar.firstVisible(), 2);

    EXPECT_TRUE(bar.openFolder(2));
    ASSERT_EQ(owner.count(OutlookNotice::FolderOpened), 1);
    EXPECT_EQ(owner.notices.back().index, 2);
    EXPECT_EQ(bar.firstVisible(), 0);
    EXPECT_EQ(bar.selectedItem(), -1);
    EXPECT_FALSE(bar.openFolder(2));
    EXPECT_EQ(owner.count(OutlookNotice::FolderOpened), 1);
}

TEST(OutlookBarModel, DraggedItemsMoveOnTheOwnersYesOnly) {
    OutlookBarModel bar = threeByThree();
    Owner owner;
    owner.attach(bar);

    // Dropped on the third of three, the first lands before it: second.
    EXPECT_TRUE(bar.moveItem(0, 2));
    EXPECT_EQ(order(bar), "bac");
    ASSERT_EQ(owner.notices.size(), 1u);
    const OutlookNotification& n = owner.notices.back();
    EXPECT_EQ(n.code, OutlookNotice::ItemDragged);
    EXPECT_EQ(n.folder, 1);
    EXPECT_EQ(n.index, 0);
    EXPECT_EQ(n.target, 2);

    // Dropped below the last item: to the end.
    EXPECT_TRUE(bar.moveItem(0, 3));
    EXPECT_EQ(order(bar), "acb");
    // Upwards the place is the item dropped on.
    EXPECT_TRUE(bar.moveItem(2, 0));
    EXPECT_EQ(order(bar), "bac");

    owner.answer = 0;
    EXPECT_FALSE(bar.moveItem(0, 3));
    EXPECT_EQ(order(bar), "bac") << "refused";
    EXPECT_FALSE(bar.moveItem(1, 1));
    EXPECT_FALSE(bar.moveItem(-1, 0));
    EXPECT_FALSE(bar.moveItem(0, 4));
    EXPECT_EQ(owner.notices.size(), 4u) << "bad moves are not asked about";

    EXPECT_EQ(OutlookBarModel::placeAfterMove(0, 2, 3), 1);
    EXPECT_EQ(OutlookBarModel::placeAfterMove(0, 3, 3), 2);
    EXPECT_EQ(OutlookBarModel::placeAfterMove(2, 0, 3), 0);
    EXPECT_EQ(OutlookBarModel::placeAfterMove(1, 2, 3), 1) << "just below itself: no change";
}

TEST(OutlookBarModel, TheSelectionStaysWithItsItem) {
    OutlookBarModel bar = threeByThree();
    Owner owner;
    owner.attach(bar);
    EXPECT_EQ(bar.clickItem(2), -1);
    EXPECT_EQ(owner.notices.back().code, OutlookNotice::ItemClicked);
    EXPECT_EQ(owner.notices.back().index, 2);
    EXPECT_EQ(bar.clickItem(0), 2) << "the one to redraw";

    // Every move of a, b or c, with each of them selected: the selection stays on its item
    // (with c selected, a dragged to the end leaves c selected).
    for (int selected = 0; selected < 3; ++selected) {
        for (int from = 0; from < 3; ++from) {
            for (int to = 0; to <= 3; ++to) {
                OutlookBarModel moved = threeByThree();
                moved.clickItem(selected);
                const std::string caption = moved.itemCaption(selected);
                moved.moveItem(from, to);
                EXPECT_EQ(moved.itemCaption(moved.selectedItem()), caption)
                    << caption << " selected, " << from << " dropped on " << to;
            }
        }
    }

    bar.moveItem(0, 3);  // a to the end: bca
    EXPECT_EQ(bar.itemCaption(bar.selectedItem()), "a");
    bar.moveItem(1, 0);  // c to the front: cba
    EXPECT_EQ(bar.itemCaption(bar.selectedItem()), "a");
    bar.insertItem(1, 0, named("d"));
    EXPECT_EQ(bar.itemCaption(bar.selectedItem()), "a");
    bar.removeItem(0);
    EXPECT_EQ(bar.itemCaption(bar.selectedItem()), "a");
    bar.removeItem(bar.selectedItem());
    EXPECT_EQ(bar.selectedItem(), -1);
    EXPECT_EQ(bar.clickItem(5), -1) << "no such item: nothing";
    EXPECT_EQ(owner.count(OutlookNotice::ItemClicked), 2);
}

TEST(OutlookBarModel, RemovingAFolderKeepsTheOpenIndexOnAFolder) {
    OutlookBarModel bar;
    for (const char* f : {"A", "B", "C", "D"}) bar.addFolder(f);
    bar.openFolder(2);
    bar.removeFolder(3);  // after the open one
    EXPECT_EQ(bar.folderCaption(bar.openFolder()), "C");
    bar.removeFolder(0);  // before it: the same folder stays open
    EXPECT_EQ(bar.openFolder(), 1);
    EXPECT_EQ(bar.folderCaption(bar.openFolder()), "C");
    bar.removeFolder(1);  // the open one: the one before it opens
    EXPECT_EQ(bar.openFolder(), 0);
    EXPECT_EQ(bar.folderCaption(0), "B");
    bar.addFolder("E");
    bar.removeFolder(0);  // the first while open: 0 again, now "E"
    EXPECT_EQ(bar.openFolder(), 0);
    EXPECT_EQ(bar.folderCaption(0), "E");
    bar.removeFolder(0);
    EXPECT_EQ(bar.openFolder(), -1);
    EXPECT_EQ(bar.itemCount(), 0);
    EXPECT_FALSE(bar.removeFolder(0));
}

TEST(OutlookBarModel, FoldersAndItemsKeepTheirLimits) {
    OutlookBarModel bar;
    for (int f = 0; f < kMaxShownFolders; ++f) EXPECT_EQ(bar.addFolder("F"), f);
    EXPECT_EQ(bar.addFolder("one more"), -1);
    EXPECT_EQ(bar.folderCount(), kMaxShownFolders);

    // An index outside the items appends; texts are cut to the item's buffers without
    // splitting a character.
    OutlookItem big;
    big.caption = "x" + std::string(200, '\xb0');
    big.target = std::string(1000, 'p');
    EXPECT_EQ(bar.insertItem(3, 7, big), 0);
    EXPECT_EQ(bar.insertItem(3, -5, named("a")), 1);
    EXPECT_EQ(bar.insertItem(kMaxShownFolders, 0, named("a")), -1);
    bar.openFolder(3);
    EXPECT_EQ(bar.itemCaption(0).size(), 99u);
    EXPECT_EQ(bar.itemTarget(0).size(), 254u);
    EXPECT_EQ(bar.itemCaption(2), "") << "no such item: empty text";
    EXPECT_EQ(bar.itemTarget(-1), "");
    EXPECT_FALSE(bar.removeItem(2));

    std::string longName(10000, '\xc4');
    bar.addFolder(longName);  // refused: full
    for (int f = kMaxShownFolders - 1; f >= 8; --f) bar.removeFolder(f);
    bar.removeFolder(7);
    bar.addFolder(longName);
    EXPECT_EQ(bar.folderCaption(7).size(), kMaxFolderNameBytes - 1) << "255 would split";
}

TEST(OutlookBarModel, CaptionEditsNeedTextAndTheOwnersYes) {
    OutlookBarModel bar = threeByThree();
    Owner owner;
    owner.attach(bar);
    EXPECT_FALSE(bar.editItemCaption(0, ""));
    EXPECT_FALSE(bar.editFolderCaption(1, ""));
    EXPECT_TRUE(owner.notices.empty()) << "an empty caption is not reported";

    EXPECT_TRUE(bar.editItemCaption(1, "new"));
    EXPECT_EQ(owner.notices.back().code, OutlookNotice::ItemCaptionEdited);
    EXPECT_EQ(owner.notices.back().index, 1);
    EXPECT_EQ(owner.notices.back().text, "new");
    EXPECT_EQ(bar.itemCaption(1), "new");
    EXPECT_TRUE(bar.editFolderCaption(2, "Z"));
    EXPECT_EQ(owner.notices.back().code, OutlookNotice::FolderCaptionEdited);
    EXPECT_EQ(bar.folderCaption(2), "Z");

    owner.answer = 0;
    EXPECT_FALSE(bar.editItemCaption(1, "no"));
    EXPECT_FALSE(bar.editFolderCaption(2, "no"));
    EXPECT_EQ(bar.itemCaption(1), "new");
    EXPECT_EQ(bar.folderCaption(2), "Z");
}

TEST(OutlookBarModel, ViewChangesAndDroppedFiles) {
    OutlookBarModel bar = threeByThree();
    bar.setFirstVisible(2);
    EXPECT_FALSE(bar.setSmallIcons(true)) << "already shown: nothing";
    EXPECT_EQ(bar.firstVisible(), 2);
    EXPECT_TRUE(bar.setSmallIcons(false));
    EXPECT_FALSE(bar.smallIcons());
    EXPECT_EQ(bar.firstVisible(), 0);
    bar.setFirstVisible(50);
    EXPECT_EQ(bar.firstVisible(), 2) << "held to the last item";

    // Hover frames: never on the selected item while the tick runs or with flag 0x200.
    OutlookBarModel plain(kOutlookSmallIcons);
    plain.addFolder("A");
    plain.insertItem(0, -1, named("a"));
    plain.insertItem(0, -1, named("b"));
    plain.openFolder(0);
    plain.clickItem(0);
    EXPECT_TRUE(plain.hoverFrameOn(0));
    plain.setAnimationTick(200);
    EXPECT_FALSE(plain.hoverFrameOn(0));
    EXPECT_TRUE(plain.hoverFrameOn(1));
    EXPECT_FALSE(plain.hoverFrameOn(2));
    bar.clickItem(1);
    EXPECT_FALSE(bar.hoverFrameOn(1)) << "0x200 is in the default flags";

    EXPECT_TRUE(bar.acceptsDroppedFiles());
    bar.openFolder(0);
    EXPECT_FALSE(bar.acceptsDroppedFiles()) << "the drives' folder";
}

// The press on an item, carried through the layout into the model, as the control does.
// The arrows walk the bar as it is drawn, A, B, a, b, c, C, and stop at either end; a
// focus the model moved from under is brought back inside.
TEST(OutlookBarKeys, ArrowsWalkHeadersAndTheOpenFoldersItemsInDrawnOrder) {
    OutlookBarModel bar = threeByThree();
    const OutlookFocus a{OutlookFocus::Header, 0}, b{OutlookFocus::Header, 1},
        c{OutlookFocus::Header, 2};
    const OutlookFocus first{OutlookFocus::Item, 0}, last{OutlookFocus::Item, 2};
    std::vector<OutlookFocus> walked{a};
    for (int i = 0; i < 6; ++i) walked.push_back(moveFocus(bar, walked.back(), OutlookKey::Down));
    EXPECT_EQ(walked, (std::vector<OutlookFocus>{a, b, first, {OutlookFocus::Item, 1}, last, c, c}));
    EXPECT_EQ(moveFocus(bar, first, OutlookKey::Up), b);
    EXPECT_EQ(moveFocus(bar, a, OutlookKey::Up), a);
    EXPECT_EQ(moveFocus(bar, first, OutlookKey::End), c);
    EXPECT_EQ(moveFocus(bar, c, OutlookKey::Home), a);

    bar.openFolder(2);  // C is open and empty: A, B, C
    EXPECT_EQ(moveFocus(bar, b, OutlookKey::Down), c);
    EXPECT_EQ(keepFocusInside(bar, last), c) << "the items went with their folder";
    bar.openFolder(1);
    bar.removeItem(2);
    EXPECT_EQ(keepFocusInside(bar, last), (OutlookFocus{OutlookFocus::Item, 1}));
    bar.removeFolder(2);
    EXPECT_EQ(keepFocusInside(bar, c), b);
    EXPECT_EQ(moveFocus(OutlookBarModel(), c, OutlookKey::Down), OutlookFocus{})
        << "no folder: nothing to walk";
}

TEST(OutlookItemPress, ClicksAndDragsEndAsTheRulesSay) {
    OutlookBarModel bar = threeByThree();
    Owner owner;
    owner.attach(bar);
    OutlookMetrics m;
    m.client = {0, 0, 200, 400};
    m.captions.assign(3, {40, 14});
    OutlookBarLayout layout(bar, m);
    auto at = [&](int item) {
        const Rect r = layout.itemPlace(item).icon;
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    auto release = [&](OutlookItemPress& press, Point p) {
        return press.released(layout.hitTest(p), layout.dropPlace(p));
    };

    // Pressed and released on the same item: a click.
    OutlookItemPress click(1, true);
    EXPECT_TRUE(click.moved(layout.hitTest(at(1)), layout.dropPlace(at(1))).framePressed);
    EXPECT_EQ(release(click, at(1)), (OutlookRelease{OutlookRelease::Click, 1, -1}));

    // Dragging the first onto the third.
    OutlookItemPress drag(0, true);
    const OutlookPressView view = drag.moved(layout.hitTest(at(2)), layout.dropPlace(at(2)));
    EXPECT_TRUE(view.dragging);
    EXPECT_EQ(view.place, 2);
    const OutlookRelease onThird = release(drag, at(2));
    ASSERT_EQ(onThird.kind, OutlookRelease::Move);
    bar.moveItem(onThird.item, onThird.place);
    EXPECT_EQ(order(bar), "bac");

    // Dragged below the last item: the end.
    OutlookItemPress toEnd(0, true);
    toEnd.moved({}, layout.dropPlace({10, 300}));
    const OutlookRelease below = release(toEnd, {10, 300});
    bar.moveItem(below.item, below.place);
    EXPECT_EQ(order(bar), "acb");

    // Back on its own place, or outside the item area: nothing.
    OutlookItemPress back(1, true);
    back.moved({}, 3);
    EXPECT_EQ(release(back, at(1)), OutlookRelease{});
    EXPECT_TRUE(back.moved({}, -1).dragging) << "the refusing cursor";
    EXPECT_EQ(back.released({OutlookHit::Header, 2}, -1), OutlookRelease{});

    // Without dragging the frame follows the mouse and only the item itself clicks.
    OutlookItemPress still(1, false);
    EXPECT_FALSE(still.moved(layout.hitTest(at(2)), 2).framePressed);
    EXPECT_FALSE(still.dragging());
    EXPECT_TRUE(still.moved(layout.hitTest(at(1)), 1).framePressed);
    EXPECT_EQ(release(still, at(2)), OutlookRelease{});
    EXPECT_EQ(owner.count(OutlookNotice::ItemDragged), 2);
}

TEST(OutlookMenuState, GreysWhatDoesNotApplyWhereTheClickWas) {
    using C = OutlookCommand;
    auto enabled = [](const OutlookMenuState& menu) {
        std::string s;
        for (int c = 0; c < kOutlookCommandCount; ++c) {
            s += menu.enabled(static_cast<C>(c)) ? '1' : '.';
        }
        return s;
    };
    // Columns: large, small, add folder, delete folder, add file, add web, delete file,
    // rename.
    EXPECT_EQ(enabled({OutlookHit::Item, 3, true}), "......11");
    EXPECT_EQ(enabled({OutlookHit::Item, 0, false}), "......11");
    EXPECT_EQ(enabled({OutlookHit::Header, 0, true}), "..1.....");
    EXPECT_EQ(enabled({OutlookHit::Header, 1, true}), "..1.11..");
    EXPECT_EQ(enabled({OutlookHit::Header, 2, true}), "..1111.1");
    EXPECT_EQ(enabled({OutlookHit::Nothing, 0, true}), "1.1.....");
    EXPECT_EQ(enabled({OutlookHit::Nothing, 1, false}), ".11.11..");
    EXPECT_EQ(enabled({OutlookHit::Nothing, 2, true}), "1.1111..");
    EXPECT_EQ(enabled({OutlookHit::UpArrow, 2, false}), ".11111..");
}

}  // namespace
}  // namespace tarnix
