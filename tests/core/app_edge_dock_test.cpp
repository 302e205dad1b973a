// Edge docking of the main window: where a drag snaps it, and the slide out and back.
#include <gtest/gtest.h>

#include "app/EdgeDock.h"

namespace tarnix {
namespace {

constexpr DockScreen kScreen{1024, 768};
constexpr int kTaskbar = 30;
constexpr int kEdge = 2;
constexpr int kFrame = 4;

EdgeDock makeDock() {
    EdgeDock dock;
    dock.setMetrics(kTaskbar, kEdge, kFrame);
    return dock;
}

// A free 200 x 400 window in the middle of the screen.
Rect freeWindow() {
    return {400, 150, 600, 550};
}

Rect dragTo(EdgeDock& dock, Point cursor, Rect from = freeWindow()) {
    dock.moving(cursor, from, kScreen, from.height());
    return from;
}

TEST(EdgeDock, SnapsToTheEdgeUnderTheCursor) {
    EdgeDock dock = makeDock();
    EXPECT_EQ(dragTo(dock, {500, 20}), (Rect{400, -kEdge, 600, 400 - kEdge}));
    EXPECT_EQ(dock.side(), DockSide::Top);

    const int bottomLine = kScreen.height - kTaskbar - 20;
    EXPECT_EQ(dragTo(dock, {500, bottomLine}), (Rect{400, 338, 600, 738}));
    EXPECT_EQ(dock.side(), DockSide::Bottom);

    EXPECT_EQ(dragTo(dock, {19, 300}), (Rect{0, 150, 200, 550}));
    EXPECT_EQ(dock.side(), DockSide::Left);

    EXPECT_EQ(dragTo(dock, {kScreen.width - 20, 300}), (Rect{824, 150, 1024, 550}));
    EXPECT_EQ(dock.side(), DockSide::Right);

    // One pixel inside every snap line: free, and the rectangle is left as proposed.
    EXPECT_EQ(dragTo(dock, {20, 21}), freeWindow());
    EXPECT_EQ(dock.side(), DockSide::None);
    EXPECT_EQ(dragTo(dock, {kScreen.width - 21, bottomLine - 1}), freeWindow());
    EXPECT_EQ(dock.side(), DockSide::None);

    // At a corner the top and bottom win over the sides.
    dragTo(dock, {kScreen.width - 1, 0});
    EXPECT_EQ(dock.side(), DockSide::Top);
    EXPECT_EQ(dragTo(dock, {0, kScreen.height - 1}).left, 400);
    EXPECT_EQ(dock.side(), DockSide::Bottom);
    EXPECT_FALSE(dock.sideDocked()) << "only a side dock saves the height";
}

TEST(EdgeDock, LeavingASideGivesBackTheHeightItHadBefore) {
    EdgeDock dock = makeDock();
    EXPECT_EQ(dock.savedHeight(), 400);
    Rect r{400, 100, 600, 400};  // 300 high while being dragged
    dock.moving({5, 300}, r, kScreen, 520);
    EXPECT_TRUE(dock.sideDocked());
    EXPECT_EQ(dock.savedHeight(), 520);
    // Sliding along the side, and across to the other one, keeps the first height.
    dock.moving({5, 200}, r, kScreen, 300);
    dock.moving({kScreen.width - 1, 200}, r, kScreen, 300);
    EXPECT_EQ(dock.savedHeight(), 520);

    Rect away{300, 100, 500, 400};
    dock.moving({400, 300}, away, kScreen, 300);
    EXPECT_EQ(away, (Rect{300, 100, 500, 620}));
    EXPECT_FALSE(dock.sideDocked());
    // Once given back, further drags leave the size alone.
    Rect again{310, 100, 510, 400};
    dock.moving({400, 300}, again, kScreen, 300);
    EXPECT_EQ(again, (Rect{310, 100, 510, 400}));
}

TEST(EdgeDock, CursorInAndOutOfADockedWindow) {
    EdgeDock dock = makeDock();
    EXPECT_FALSE(dock.hitTest({500, 0}, kScreen)) << "a free window never slides";

    dragTo(dock, {500, 5});
    EXPECT_TRUE(dock.hitTest({500, 0}, kScreen));
    EXPECT_TRUE(dock.hover());
    EXPECT_FALSE(dock.animationDone());
    EXPECT_EQ(dock.direction(), DockDirection::Show);
    EXPECT_FALSE(dock.hitTest({500, 0}, kScreen)) << "already watching the cursor";

    EXPECT_FALSE(dock.hoverTimer(true));
    EXPECT_TRUE(dock.hover());
    EXPECT_TRUE(dock.hoverTimer(false));
    EXPECT_FALSE(dock.hover());
    EXPECT_EQ(dock.direction(), DockDirection::Hide);
    EXPECT_TRUE(dock.hitTest({500, 0}, kScreen)) << "the strip brings it back";

    // Dragged off every edge while the cursor watch runs: the watch stops, once.
    Rect r = freeWindow();
    EXPECT_TRUE(dock.moving({500, 300}, r, kScreen, r.height()));
    EXPECT_FALSE(dock.hover());
    EXPECT_FALSE(dock.moving({500, 300}, r, kScreen, r.height()));

    dragTo(dock, {500, 5});
    dock.hitTest({500, 0}, kScreen);
    dock.minimised();
    EXPECT_FALSE(dock.hover());
}

struct Slide {
    Rect end;
    int moves = 0;
};

// Runs timer 2 until the dock asks to stop it; every step must keep the size.
Slide runSlide(EdgeDock& dock, Rect window) {
    Slide slide;
    for (int tick = 0; tick < 10000; ++tick) {
        DockTick t = dock.animationTick(window, kScreen);
        if (t.action == DockTick::Stop) {
            slide.end = window;
            return slide;
        }
        EXPECT_EQ(t.action, DockTick::Move);
        EXPECT_EQ(t.rect.width(), window.width());
        EXPECT_EQ(t.rect.height(), window.height());
        window = t.rect;
        ++slide.moves;
    }
    ADD_FAILURE() << "the slide never ends";
    return slide;
}

struct SideCase {
    Point cursor;
    Rect hidden;
    Rect shown;
};

TEST(EdgeDock, SlidesOutLeavingTheFrameStripAndBackOnEverySide) {
    const int cx = kScreen.width;
    const int cy = kScreen.height;
    const SideCase cases[] = {
        {{500, 5}, {400, kFrame - 400, 600, kFrame}, {400, -kEdge, 600, 400 - kEdge}},
        {{500, cy - 5}, {400, cy - kFrame, 600, cy - kFrame + 400}, {400, cy - 400, 600, cy}},
        {{5, 300}, {kFrame - 200, 150, kFrame, 550}, {0, 150, 200, 550}},
        {{cx - 5, 300}, {cx - kFrame, 150, cx - kFrame + 200, 550}, {cx - 200, 150, cx, 550}},
    };
    for (const SideCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.cursor.x << "," << c.cursor.y);
        EdgeDock dock = makeDock();
        Rect docked = dragTo(dock, c.cursor);
        dock.hitTest(c.cursor, kScreen);
        dock.hoverTimer(false);
        Slide out = runSlide(dock, docked);
        EXPECT_EQ(out.end, c.hidden);
        EXPECT_LE(out.moves, 11) << "a tenth of the size per step";
        EXPECT_TRUE(dock.animationDone());

        EXPECT_TRUE(dock.hitTest(c.cursor, kScreen));
        Slide back = runSlide(dock, out.end);
        EXPECT_EQ(back.end, c.shown);
        EXPECT_LE(back.moves, 11);
        EXPECT_EQ(dock.animationTick(back.end, kScreen).action, DockTick::Stop);
    }
}

TEST(EdgeDock, AWindowUnderTenPixelsStillReachesTheEnd) {
    EdgeDock dock = makeDock();
    Rect tiny{100, 100, 106, 109};
    dock.moving({5, 300}, tiny, kScreen, tiny.height());
    dock.hitTest({5, 300}, kScreen);
    dock.hoverTimer(false);
    Slide out = runSlide(dock, tiny);
    EXPECT_EQ(out.end, (Rect{kFrame - 6, 100, kFrame, 109}));

}

TEST(EdgeDock, ATickWithNothingToSlideStopsTheTimer) {
    EdgeDock dock = makeDock();
    EXPECT_EQ(dock.animationTick(freeWindow(), kScreen).action, DockTick::Stop);
    // A tray double-click on a free window: nothing moves, and the timer stops next tick.
    dock.showFromTray();
    EXPECT_EQ(dock.direction(), DockDirection::Show);
    EXPECT_EQ(dock.animationTick(freeWindow(), kScreen).action, DockTick::Nothing);
    EXPECT_EQ(dock.animationTick(freeWindow(), kScreen).action, DockTick::Stop);

    // On a docked, hidden window it slides back.
    Rect docked = dragTo(dock, {5, 300});
    dock.hitTest({5, 300}, kScreen);
    dock.hoverTimer(false);
    Rect hidden = runSlide(dock, docked).end;
    dock.minimised();
    dock.showFromTray();
    EXPECT_EQ(runSlide(dock, hidden).end, docked);
}

// At 150 % the snap distance is 30 pixels; a window that changes size with the DPI keeps
// the docked edge, or its strip when slid away, in place.
TEST(EdgeDock, ScalesWithTheDpiAndKeepsItsEdgeWhenItsSizeChanges) {
    EdgeDock dock;
    dock.setMetrics(kTaskbar, kEdge, kFrame, Dpi(144));
    EXPECT_EQ(dock.snapDistance(), 30);
    dragTo(dock, {kScreen.width - 31, 300});
    EXPECT_EQ(dock.side(), DockSide::None);
    Rect docked = dragTo(dock, {kScreen.width - 30, 300});
    ASSERT_EQ(dock.side(), DockSide::Right);

    const Rect larger{docked.left - 100, docked.top, docked.right + 100, docked.bottom + 200};
    EXPECT_EQ(dock.resized(docked, larger),
              (Rect{kScreen.width - 400, docked.top, kScreen.width, docked.bottom + 200}));
    dock.hitTest({kScreen.width - 5, 300}, kScreen);
    dock.hoverTimer(false);
    Rect hidden = runSlide(dock, docked).end;
    Rect grown =
        dock.resized(hidden, {hidden.left - 100, hidden.top, hidden.right + 100, hidden.bottom});
    EXPECT_EQ(grown.left, kScreen.width - kFrame) << "the strip stays";
    EXPECT_EQ(grown.width(), 400);

    EdgeDock free = makeDock();
    EXPECT_EQ(free.resized(freeWindow(), larger), larger) << "a free window goes where it is put";
}

}  // namespace
}  // namespace tarnix
