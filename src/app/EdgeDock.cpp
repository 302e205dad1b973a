#include "app/EdgeDock.h"

#include <algorithm>

namespace tarnix {
namespace {

// A tenth of the size per tick; at least one pixel, so that a window smaller than ten
// pixels still reaches its end position.
int slideStep(int size) {
    return std::max(1, size / 10);
}

// Moves `edge` by `delta`; once it reaches or passes `end` it stops there, and the slide
// is over.
bool slideEdge(int& edge, int delta, int end) {
    edge += delta;
    const bool reached = delta < 0 ? edge <= end : edge >= end;
    if (reached)
        edge = end;
    return reached;
}

// Moves the span from `low` to `high`, its size kept, so that its high end (or its low end)
// stands where it stood before.
void keepEnd(int& low, int& high, int lowBefore, int highBefore, bool keepHigh) {
    const int size = high - low;
    low = keepHigh ? highBefore - size : lowBefore;
    high = low + size;
}

}  // namespace

void EdgeDock::setMetrics(int taskbarHeight, int edgeSize, int frameSize, Dpi dpi) {
    taskbarHeight_ = taskbarHeight;
    edgeSize_ = edgeSize;
    frameSize_ = frameSize;
    snapDistance_ = dpi.scale(kSnapDistance);
}

Rect EdgeDock::resized(const Rect& before, Rect proposed) const {
    // Shown, the window keeps its outer edge at the screen's edge; slid away, the strip
    // keeps its place.
    const bool away = direction_ == static_cast<int>(DockDirection::Hide);
    switch (side()) {
    case DockSide::Top:
    case DockSide::Bottom:
        keepEnd(proposed.top, proposed.bottom, before.top, before.bottom,
                (side() == DockSide::Top) == away);
        break;
    case DockSide::Left:
    case DockSide::Right:
        keepEnd(proposed.left, proposed.right, before.left, before.right,
                (side() == DockSide::Left) == away);
        break;
    case DockSide::None:
        break;
    }
    return proposed;
}

bool EdgeDock::moving(Point cursor, Rect& proposed, DockScreen screen,
                      int currentHeight) {
    const int w = proposed.width();
    const int h = proposed.height();
    // Top and bottom win over the sides at a corner.
    if (cursor.y <= snapDistance_) {
        dockSide_ = static_cast<int>(DockSide::Top);
        proposed.top = -edgeSize_;
        proposed.bottom = h - edgeSize_;
        return false;
    }
    if (cursor.y >= screen.height - taskbarHeight_ - snapDistance_) {
        dockSide_ = static_cast<int>(DockSide::Bottom);
        proposed.bottom = screen.height - taskbarHeight_;
        proposed.top = proposed.bottom - h;
        return false;
    }
    const bool left = cursor.x < snapDistance_;
    if (left || cursor.x >= screen.width - snapDistance_) {
        dockSide_ = static_cast<int>(left ? DockSide::Left : DockSide::Right);
        proposed.left = left ? 0 : screen.width - w;
        proposed.right = proposed.left + w;
        // Remember the height of the free window, to give it back when it leaves the side.
        if (!sideDocked_) {
            savedHeight_ = currentHeight;
            sideDocked_ = 1;
        }
        return false;
    }
    dockSide_ = static_cast<int>(DockSide::None);
    if (sideDocked_) {
        proposed.bottom = proposed.top + savedHeight_;
        sideDocked_ = 0;
    }
    if (hover_) {
        hover_ = 0;
        return true;
    }
    return false;
}

bool EdgeDock::hitTest(Point point, DockScreen screen) {
    if (dockSide_ == 0 || hover_ || point.x >= screen.width + 10)
        return false;
    hover_ = 1;
    startSlide(DockDirection::Show);
    return true;
}

bool EdgeDock::hoverTimer(bool cursorInsideWindow) {
    if (cursorInsideWindow)
        return false;
    hover_ = 0;
    startSlide(DockDirection::Hide);
    return true;
}

void EdgeDock::showFromTray() {
    startSlide(DockDirection::Show);
}

void EdgeDock::minimised() {
    hover_ = 0;
}

void EdgeDock::startSlide(DockDirection direction) {
    animationDone_ = 0;
    direction_ = static_cast<int>(direction);
}

DockTick EdgeDock::animationTick(const Rect& window, DockScreen screen) {
    if (animationDone_)
        return {DockTick::Stop, window};
    if (dockSide_ == 0) {
        // Nothing can slide; end the slide so that the 5 ms timer does not run on
        // (a tray double-click starts one whether the window is docked or not).
        animationDone_ = 1;
        return {DockTick::Nothing, window};
    }

    const int w = window.width();
    const int h = window.height();
    const int f = frameSize_;
    const bool hide = direction_ == static_cast<int>(DockDirection::Hide);
    const int sh = slideStep(h), sw = slideStep(w);
    Rect r = window;
    bool done = false;
    // Each side moves one edge by a step and stops it at the end position; the opposite
    // edge follows so that the size stays.
    switch (static_cast<DockSide>(dockSide_)) {
    case DockSide::Top:
        if (hide) {
            done = slideEdge(r.bottom, -sh, f);
            r.top = r.bottom - h;
        } else {
            done = slideEdge(r.top, sh, -edgeSize_);
            r.bottom = r.top + h;
        }
        break;
    case DockSide::Bottom:
        done = hide ? slideEdge(r.top, sh, screen.height - f)
                    : slideEdge(r.top, -sh, screen.height - h);
        r.bottom = r.top + h;
        break;
    case DockSide::Left:
        done = hide ? slideEdge(r.right, -sw, f) : slideEdge(r.right, sw, w);
        r.left = r.right - w;
        break;
    case DockSide::Right:
        done = hide ? slideEdge(r.left, sw, screen.width - f)
                    : slideEdge(r.left, -sw, screen.width - w);
        r.right = r.left + w;
        break;
    case DockSide::None:
        break;
    }
    if (done)
        animationDone_ = 1;
    return {DockTick::Move, r};
}

}  // namespace tarnix
