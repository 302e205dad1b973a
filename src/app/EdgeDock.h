#pragma once
// EdgeDock: the main window's docking to a screen edge and its slide out of sight.
//
// While the user drags the window, the cursor picks the edge it snaps to. A docked window
// slides away once the cursor leaves it, keeping a strip of frame-size pixels on screen,
// and slides back when the cursor touches that strip. The window owns the timers; the
// operations here say when to start or stop them:
//   timer 1 (200 ms) watches for the cursor leaving the shown window,
//   timer 2 (5 ms) runs the slide, one animationTick() per tick.

#include "base/Dpi.h"
#include "base/Geometry.h"

namespace tarnix {

struct DockScreen {
    int width = 0;
    int height = 0;
};

enum class DockSide { None = 0, Top = 1, Bottom = 2, Left = 3, Right = 4 };
enum class DockDirection { Show = 0, Hide = 1 };

// What the window does after one tick of timer 2.
struct DockTick {
    enum Action {
        Stop,     // the slide is over: stop timer 2
        Nothing,  // not docked: nothing to move
        Move,     // place the window at rect, topmost and shown
    };
    Action action = Stop;
    Rect rect;
};

class EdgeDock {
  public:
    // The cursor within this many pixels (at 96 DPI) of an edge docks the window there.
    static constexpr int kSnapDistance = 20;
    static constexpr int kInitialSavedHeight = 400;
    static constexpr int kInitialTaskbarHeight = 30;

    // From window creation and each change of DPI: the taskbar's height, the system's edge
    // and frame sizes at the window's DPI, which also scales the snap distance.
    void setMetrics(int taskbarHeight, int edgeSize, int frameSize, Dpi dpi = Dpi());

    // The window changes size (a new DPI) from `before` to `proposed`: a docked window keeps
    // the edge it is docked to where it was, shown or slid away.
    Rect resized(const Rect& before, Rect proposed) const;

    // The window is being dragged: snaps the proposed rectangle to the edge under the
    // cursor. currentHeight is the window's height before the drag step. True when
    // timer 1 must be stopped (the drag left every edge while the cursor watch ran).
    bool moving(Point cursor, Rect& proposed, DockScreen screen, int currentHeight);

    // A hit test at point: true when the slide in starts, so that the window starts
    // timer 1 (200 ms) and timer 2 (5 ms).
    bool hitTest(Point point, DockScreen screen);

    // Timer 1: true when the slide out starts (stop timer 1, start timer 2).
    bool hoverTimer(bool cursorInsideWindow);

    // The tray icon was double-clicked: slide in (the window starts timer 2).
    void showFromTray();
    // The window was minimised (it stops timers 1 and 2 itself).
    void minimised();

    // Timer 2: one step of the slide of the window now at `window`.
    DockTick animationTick(const Rect& window, DockScreen screen);

    // The state, for tests.
    bool sideDocked() const { return sideDocked_ != 0; }
    bool hover() const { return hover_ != 0; }
    int savedHeight() const { return savedHeight_; }
    int taskbarHeight() const { return taskbarHeight_; }
    int edgeSize() const { return edgeSize_; }
    int frameSize() const { return frameSize_; }
    int snapDistance() const { return snapDistance_; }
    DockSide side() const { return static_cast<DockSide>(dockSide_); }
    bool animationDone() const { return animationDone_ != 0; }
    DockDirection direction() const { return static_cast<DockDirection>(direction_); }

  private:
    void startSlide(DockDirection direction);

    int sideDocked_ = 0;
    int hover_ = 0;
    int savedHeight_ = kInitialSavedHeight;
    int taskbarHeight_ = kInitialTaskbarHeight;
    int edgeSize_ = 0;
    int frameSize_ = 0;
    int snapDistance_ = kSnapDistance;
    int dockSide_ = 0;
    int animationDone_ = 1;
    int direction_ = 0;
};

}  // namespace tarnix
