#pragma once
// Points and rectangles in screen or client pixels, for the layouts and placements the
// portable core works out (the outlook bar, the docking, the news window's place).
// Rectangles are half-open, as the system's: left and top inside, right and bottom not.

namespace tarnix {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const Rect&) const = default;
};

}  // namespace tarnix
