#include "shortcuts/OutlookBarLayout.h"

#include <algorithm>

namespace tarnix {

OutlookBarLayout::OutlookBarLayout(const OutlookBarModel& model, OutlookMetrics metrics)
    : model_(model), metrics_(std::move(metrics)) {}

int OutlookBarLayout::captionWrapWidth(const Rect& client, Dpi dpi) {
    return std::max(0, client.width() - 2 * dpi.scale(kMargin));
}

BarSize OutlookBarLayout::captionOf(int index) const {
    const auto& captions = metrics_.captions;
    return index >= 0 && index < static_cast<int>(captions.size()) ? captions[index] : BarSize{};
}

int OutlookBarLayout::gap() const {
    return model_.smallIcons() ? px(kSmallItemGap) : px(kLargeItemGap);
}

// The header stacks: folders up to the open one hang from the top (the first one a pixel
// above it, so its top line is hidden), the later ones stand on the bottom.
int OutlookBarLayout::topOfStacked(int folder) const {
    return metrics_.client.top + px(kHeaderHeight) * folder - 1;
}

int OutlookBarLayout::bottomOfStacked(int folder) const {
    return metrics_.client.bottom - px(kHeaderHeight) * (model_.folderCount() - folder);
}

Rect OutlookBarLayout::header(int folder) const {
    const Rect& c = metrics_.client;
    const int top = folder <= model_.openFolder() ? topOfStacked(folder) : bottomOfStacked(folder);
    return {c.left, top, c.right, top + px(kHeaderHeight)};
}

Rect OutlookBarLayout::itemArea() const {
    const Rect& c = metrics_.client;
    const int open = model_.openFolder();
    const int top = open >= 0 ? header(open).bottom : c.top;
    const int bottom = open + 1 < model_.folderCount() ? header(open + 1).top : c.bottom;
    return {c.left, top, c.right, std::max(top, bottom)};
}

BarSize OutlookBarLayout::itemSize(BarSize caption) const {
    const BarSize& icon = metrics_.icon;
    if (model_.smallIcons()) {
        return {icon.cx + px(kSmallCaptionGap) + caption.cx, std::max(icon.cy, caption.cy)};
    }
    return {std::max(icon.cx, caption.cx),
            icon.cy + px(kLargeCaptionGap) + px(kLargeItemGap) + caption.cy};
}

OutlookItemPlace OutlookBarLayout::itemPlace(int index) const {
    // Walk from the first visible item, down or up, each item its height plus the gap.
    const int first = model_.firstVisible();
    int top = itemArea().top + px(kMargin);
    for (int i = first; i < index; ++i) top += itemSize(captionOf(i)).cy + gap();
    for (int i = first - 1; i >= index; --i) top -= itemSize(captionOf(i)).cy + gap();

    const Rect& c = metrics_.client;
    const BarSize icon = metrics_.icon;
    const BarSize caption = captionOf(index);
    const BarSize size = itemSize(caption);
    OutlookItemPlace place;
    if (model_.smallIcons()) {
        const int left = c.left + px(kSmallIconLeft);
        place.item = {left, top, left + size.cx, top + size.cy};
        const int iconTop = top + (size.cy - icon.cy) / 2;
        place.icon = {left, iconTop, left + icon.cx, iconTop + icon.cy};
        const int captionLeft = place.icon.right + px(kSmallCaptionGap);
        const int captionTop = top + (size.cy - caption.cy) / 2;
        place.caption = {captionLeft, captionTop, captionLeft + caption.cx,
                         captionTop + caption.cy};
    } else {
        const int width = c.width();
        const int itemLeft = c.left + (width - size.cx) / 2;
        place.item = {itemLeft, top, itemLeft + size.cx, top + size.cy};
        const int iconLeft = c.left + (width - icon.cx) / 2;
        place.icon = {iconLeft, top, iconLeft + icon.cx, top + icon.cy};
        const int captionLeft = c.left + (width - caption.cx) / 2;
        const int captionTop = place.icon.bottom + px(kLargeCaptionGap);
        place.caption = {captionLeft, captionTop, captionLeft + caption.cx,
                         captionTop + caption.cy};
    }
    return place;
}

std::vector<int> OutlookBarLayout::shownItems() const {
    std::vector<int> shown;
    const Rect area = itemArea();
    int top = area.top + px(kMargin);
    for (int i = model_.firstVisible(); i < model_.itemCount() && top < area.bottom; ++i) {
        shown.push_back(i);
        top += itemSize(captionOf(i)).cy + gap();
    }
    return shown;
}

bool OutlookBarLayout::upArrowShown() const {
    return model_.itemCount() > 0 && model_.firstVisible() > 0;
}

bool OutlookBarLayout::downArrowShown() const {
    const int count = model_.itemCount();
    return count > 0 && itemPlace(count - 1).item.bottom > itemArea().bottom;
}

Rect OutlookBarLayout::upArrow() const {
    const Rect area = itemArea();
    const int s = metrics_.arrowSize;
    return {area.right - px(kMargin) - s, area.top + px(kMargin), area.right - px(kMargin),
            area.top + px(kMargin) + s};
}

Rect OutlookBarLayout::downArrow() const {
    const Rect area = itemArea();
    const int s = metrics_.arrowSize;
    const int margin = px(kMargin);
    return {area.right - margin - s, area.bottom - margin - s, area.right - margin,
            area.bottom - margin};
}

OutlookHit OutlookBarLayout::hitTest(Point point) const {
    if (upArrowShown() && upArrow().contains(point)) return {OutlookHit::UpArrow, -1};
    if (downArrowShown() && downArrow().contains(point)) return {OutlookHit::DownArrow, -1};
    for (int f = 0; f < model_.folderCount(); ++f) {
        if (header(f).contains(point)) return {OutlookHit::Header, f};
    }
    if (itemArea().contains(point)) {
        for (int i : shownItems()) {
            const OutlookItemPlace place = itemPlace(i);
            if (place.icon.contains(point) || place.caption.contains(point)) {
                return {OutlookHit::Item, i};
            }
        }
    }
    return {};
}

int OutlookBarLayout::dropPlace(Point point) const {
    const Rect area = itemArea();
    if (model_.openFolder() < 0 || !area.contains(point)) return -1;
    int bottom = area.top + px(kMargin);
    for (int i = model_.firstVisible(); i < model_.itemCount(); ++i) {
        bottom += itemSize(captionOf(i)).cy;
        if (point.y < bottom) return i;
        bottom += gap();
    }
    return model_.itemCount();
}

Rect OutlookBarLayout::insertionMark(int place) const {
    const Rect area = itemArea();
    const int count = model_.itemCount();
    int y = area.top + px(kMargin) / 2;
    if (place >= count && count > 0) {
        y = itemPlace(count - 1).item.bottom + gap() / 2;
    } else if (place > model_.firstVisible()) {
        y = itemPlace(place).item.top - gap() / 2;
    }
    const Rect& c = metrics_.client;
    return {c.left + px(kMargin), y, c.right - px(kMargin), y + 1};
}

Rect OutlookBarLayout::folderEditBox(int folder) const {
    const Rect h = header(folder);
    return {h.left + 2, h.top + 2, h.right - 2, h.bottom - 2};
}

Rect OutlookBarLayout::itemEditBox(int index) const {
    const OutlookItemPlace place = itemPlace(index);
    const Rect& c = metrics_.client;
    if (model_.smallIcons()) {
        return {place.caption.left, place.item.top, c.right - px(kMargin), place.item.bottom};
    }
    return {c.left + px(kMargin), place.caption.top, c.right - px(kMargin),
            place.caption.bottom + px(5)};
}

std::vector<OutlookSlideFrame> OutlookBarLayout::slideFrames(int folder) const {
    std::vector<OutlookSlideFrame> frames;
    const int open = model_.openFolder();
    const int count = model_.folderCount();
    if (folder < 0 || folder >= count || folder == open) return frames;

    // The headers between the two folders move as one block, a header height per step:
    // up when a later folder opens, down when an earlier one does.
    const bool up = folder > open;
    const int firstMoving = up ? open + 1 : folder + 1;
    const int lastMoving = up ? folder : open;
    const int start = up ? bottomOfStacked(firstMoving) : topOfStacked(firstMoving);
    const int end = up ? topOfStacked(firstMoving) : bottomOfStacked(firstMoving);
    const int step = up ? -px(kHeaderHeight) : px(kHeaderHeight);
    const Rect& c = metrics_.client;
    for (int y = start + step; up ? y > end : y < end; y += step) {
        OutlookSlideFrame frame;
        for (int f = 0; f < count; ++f) {
            int top;
            if (f < firstMoving) {
                top = topOfStacked(f);
            } else if (f <= lastMoving) {
                top = y + px(kHeaderHeight) * (f - firstMoving);
            } else {
                top = bottomOfStacked(f);
            }
            frame.headers.push_back({c.left, top, c.right, top + px(kHeaderHeight)});
        }
        const int newTop = frame.headers[folder].bottom;
        const int newBottom = folder + 1 < count ? frame.headers[folder + 1].top : c.bottom;
        frame.newItems = {c.left, newTop, c.right, std::max(newTop, newBottom)};
        frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace tarnix
