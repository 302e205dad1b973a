#pragma once
// Dpi: a screen's dots per inch, and the pixel sizes it gives. Every pixel size the windows
// name is a size at 96 DPI (100 %); scale() turns it into pixels at this DPI.

#include <span>

#include "base/Geometry.h"

namespace tarnix {

class Dpi {
  public:
    static constexpr int kStandard = 96;
    // Windows offers 100 % to 500 %; anything outside half to five times the standard
    // (0 from a call that failed, a damaged setting) is taken as the nearer bound, so that no
    // size becomes zero or absurd.
    static constexpr int kLowest = kStandard / 2, kHighest = kStandard * 5;

    constexpr Dpi() = default;
    constexpr explicit Dpi(int value)
        : value_(value <= 0         ? kStandard
                 : value < kLowest  ? kLowest
                 : value > kHighest ? kHighest
                                    : value) {}

    constexpr int value() const { return value_; }
    constexpr int percent() const { return scale(100); }

    // `pixels` at 96 DPI, at this DPI: rounded to the nearest pixel, halves away from zero
    // (as MulDiv rounds), so that a negative offset scales as its positive does.
    constexpr int scale(int pixels) const {
        const long long product = static_cast<long long>(pixels) * value_;
        return static_cast<int>(product >= 0 ? (product + kStandard / 2) / kStandard
                                             : -((-product + kStandard / 2) / kStandard));
    }
    constexpr Point scale(Point p) const { return {scale(p.x), scale(p.y)}; }
    constexpr Rect scale(const Rect& r) const {
        return {scale(r.left), scale(r.top), scale(r.right), scale(r.bottom)};
    }

    // Of the scales (in percent, ascending) that art was drawn at, the nearest to this DPI; of
    // two as near, the larger, since art drawn larger shrinks more cleanly than it grows.
    int nearest(std::span<const int> percents) const {
        int best = 0;
        const int wanted = percent();
        for (int p : percents) {
            const int distance = p > wanted ? p - wanted : wanted - p;
            const int bestDistance = best > wanted ? best - wanted : wanted - best;
            if (best == 0 || distance <= bestDistance) best = p;
        }
        return best;
    }

    constexpr bool operator==(const Dpi&) const = default;

  private:
    int value_ = kStandard;
};

// The scales the program's art is drawn at.
inline constexpr int kArtScales[] = {100, 125, 150, 200};

}  // namespace tarnix
