// Sizes at 96 DPI turned into pixels at a window's DPI, the art scale picked for it, and
// where the main window stands on a work area of any size.
#include <gtest/gtest.h>

#include "app/WorkAreaFit.h"
#include "base/Dpi.h"

namespace tarnix {
namespace {

TEST(Dpi, ScalesRoundingAsMulDivAndKeepsSizesSane) {
    EXPECT_EQ(Dpi(96).scale(48), 48);
    EXPECT_EQ(Dpi(120).scale(19), 24) << "23.75";
    EXPECT_EQ(Dpi(144).scale(19), 29) << "28.5 rounds away from zero";
    EXPECT_EQ(Dpi(144).scale(-19), -29);
    EXPECT_EQ(Dpi(192).scale(20), 40);
    EXPECT_EQ(Dpi(72).scale(48), 36);
    EXPECT_EQ(Dpi(288).scale(48), 144);
    EXPECT_EQ(Dpi(144).scale(Rect{2, -3, 10, 11}), (Rect{3, -5, 15, 17}));
    EXPECT_EQ(Dpi(144).percent(), 150);
    // No DPI a failed call or a damaged setting gives makes a size vanish or explode.
    EXPECT_EQ(Dpi(0).value(), 96);
    EXPECT_EQ(Dpi(-5).value(), 96);
    EXPECT_EQ(Dpi(1).scale(48), 24);
    EXPECT_EQ(Dpi(100000).scale(48), 240);
    EXPECT_EQ(Dpi(1 << 30).scale(1 << 20), 5 << 20) << "no overflow";
}

TEST(Dpi, PicksTheNearestArtScaleTheLargerOnATie) {
    const struct {
        int dpi, scale;
    } cases[] = {{72, 100},  {96, 100},  {108, 125}, {120, 125}, {130, 125}, {132, 150},
                 {144, 150}, {168, 200}, {192, 200}, {288, 200}, {480, 200}};
    for (auto c : cases) EXPECT_EQ(Dpi(c.dpi).nearest(kArtScales), c.scale) << c.dpi;
}

// 305 x 780 at 100 % is the main window's own size; 1.5 times it at 150 %.
TEST(WorkAreaFit, KeepsTheWholeWindowOnTheWorkArea) {
    const Rect window{1280 - 20 - 305, 10, 1280 - 20, 790};
    const Rect screen1280x800{0, 0, 1280, 800}, taskbar1366x768{0, 0, 1366, 728};
    WorkAreaFit fit = fitIntoWorkArea(window, screen1280x800, 500);
    EXPECT_EQ(fit.window, window) << "fits as it is";
    EXPECT_EQ(fit.shrink, 0);

    fit = fitIntoWorkArea(window, taskbar1366x768, 500);
    EXPECT_EQ(fit.shrink, 52);
    EXPECT_EQ(fit.window, (Rect{window.left, 0, window.right, 728}));

    const Rect large{1920 - 30 - 458, 0, 1920 - 30, 1170};
    fit = fitIntoWorkArea(large, {0, 0, 1920, 1040}, 800);
    EXPECT_EQ(fit.shrink, 130);
    EXPECT_EQ(fit.window.height(), 1040);

    // A window left on a monitor that is gone comes onto the one given, whole.
    const Rect secondMonitor{-2000, 300, -2000 + 305, 300 + 780};
    fit = fitIntoWorkArea(secondMonitor, screen1280x800, 500);
    EXPECT_EQ(fit.window, (Rect{0, 20, 305, 800}));

    // The page area gives up what it has and no more; then the top left stays on screen.
    fit = fitIntoWorkArea(window, {0, 0, 200, 400}, 100);
    EXPECT_EQ(fit.shrink, 100);
    EXPECT_EQ(fit.window, (Rect{0, 0, 305, 680}));

    // A work area of no size (a monitor being removed) moves nothing.
    fit = fitIntoWorkArea(window, {}, 500);
    EXPECT_EQ(fit.window, window);
    EXPECT_EQ(fit.shrink, 0);
}

}  // namespace
}  // namespace tarnix
