#pragma once
// OutlookBarLayout: where the outlook bar draws everything, for one state of the model.
//
// The headers of the folders up to and including the open one stack at the top of the
// client area, those of the later folders at the bottom; the open folder's items fill
// the area between, from the first visible one down. Captions are measured by the
// control (it has the font) and handed in; everything else is arithmetic on the model.

#include <vector>

#include "base/Dpi.h"
#include "base/Geometry.h"
#include "shortcuts/OutlookBarModel.h"

namespace tarnix {

struct BarSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const BarSize&) const = default;
};

// What is under a point.
struct OutlookHit {
    enum Kind { Nothing, UpArrow, DownArrow, Header, Item };
    Kind kind = Nothing;
    int index = -1;  // the folder of a header, the item of an item
    bool operator==(const OutlookHit&) const = default;
};

// The rectangles of one shown item.
struct OutlookItemPlace {
    Rect item;  // icon and caption together
    Rect icon;
    Rect caption;
};

// One picture of the slide when another folder opens: every header where it is drawn,
// and the part of the item area that shows the new folder's items (from their top).
struct OutlookSlideFrame {
    std::vector<Rect> headers;
    Rect newItems;
};

struct OutlookMetrics {
    Rect client;
    BarSize icon{16, 16};           // of the image list of the view shown
    std::vector<BarSize> captions;  // of the open folder's items, in order
    int arrowSize = 16;             // the side of a scroll arrow: the scroll bar's width
    Dpi dpi;                        // the bar's; it scales the sizes below
};

// Built for one paint, hit test or drag step; it reads the model, so it must not outlive it.
class OutlookBarLayout {
  public:
    // At 96 DPI.
    static constexpr int kHeaderHeight = 22;
    static constexpr int kMargin = 5;           // left and top of the item area
    static constexpr int kSmallIconLeft = 7;    // small view: icon from the left edge
    static constexpr int kSmallCaptionGap = 4;  // small view: icon to caption
    static constexpr int kLargeCaptionGap = 3;  // large view: icon to caption
    static constexpr int kSmallItemGap = 10;    // between items, small view
    static constexpr int kLargeItemGap = 8;     // between items, large view

    OutlookBarLayout(const OutlookBarModel& model, OutlookMetrics metrics);

    // The width within which large-view captions wrap (the control measures with it).
    static int captionWrapWidth(const Rect& client, Dpi dpi = Dpi());

    Rect header(int folder) const;
    // Between the header stacks; items are clipped to it.
    Rect itemArea() const;

    // Size of an item from its caption's size, in the model's view.
    BarSize itemSize(BarSize caption) const;
    // Items from the first visible one while they start inside the item area.
    std::vector<int> shownItems() const;
    // Where item `index` is drawn (items before the first visible one lie above the area).
    OutlookItemPlace itemPlace(int index) const;

    bool upArrowShown() const;
    bool downArrowShown() const;
    Rect upArrow() const;
    Rect downArrow() const;

    // Arrows, then headers, then the items shown (icon or caption), else nothing.
    OutlookHit hitTest(Point point) const;

    // Where an item dragged to `point` would go: the item in whose row (or in the gap
    // above it) the point is, the item count below the last one, -1 outside the item area.
    int dropPlace(Point point) const;
    // The insertion mark for a drop place: a one-pixel line between items.
    Rect insertionMark(int place) const;

    // The box for in-place editing of a folder's or an item's caption.
    Rect folderEditBox(int folder) const;
    Rect itemEditBox(int index) const;

    // The slide from the open folder to `folder`, in steps of one header height, without
    // the final picture (the normal one); empty when there is nothing to slide.
    std::vector<OutlookSlideFrame> slideFrames(int folder) const;

  private:
    int px(int size) const { return metrics_.dpi.scale(size); }
    BarSize captionOf(int index) const;
    int gap() const;
    int topOfStacked(int folder) const;
    int bottomOfStacked(int folder) const;

    const OutlookBarModel& model_;
    OutlookMetrics metrics_;
};

}  // namespace tarnix
