// The outlook bar and the mouse: hover, presses on headers, items and scroll arrows, items
// dragged to a new place, and the context menu.
#include "shortcuts/win/OutlookBarCtrl.h"
#include "shortcuts/win/OutlookContextMenu.h"

namespace tarnix {

bool OutlookBarCtrl::onSetCursor() {
    updateCursor();
    return true;
}

void OutlookBarCtrl::onCaptureChanged(HWND gainer) {
    if (press_ != Press::None && gainer != hwnd()) endPress();
}

void OutlookBarCtrl::onTimer(UINT_PTR id) {
    if (id == kScrollTimer && onPressedArrow()) {
        scrollBy(press_ == Press::UpArrow ? -1 : 1);
    } else if (id == kTickTimer) {
        // The mouse may have left without a move inside: drop the hover look.
        POINT p;
        GetCursorPos(&p);
        if ((hotHeader_ >= 0 || hotItem_ >= 0) && WindowFromPoint(p) != hwnd() &&
            press_ == Press::None) {
            hotHeader_ = hotItem_ = -1;
            redraw();
        }
        if (hotHeader_ < 0 && hotItem_ < 0) KillTimer(hwnd(), kTickTimer);
    }
}

void OutlookBarCtrl::updateCursor() const {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd(), &p);
    if (press_ == Press::Item && itemPress_.dragging()) {
        SetCursor(pressView_.place >= 0 ? hand_ : LoadCursorW(nullptr, IDC_NO));
        return;
    }
    const OutlookHit hit = layout().hitTest({p.x, p.y});
    SetCursor(hit.kind == OutlookHit::Header ? hand_ : LoadCursorW(nullptr, IDC_ARROW));
}

bool OutlookBarCtrl::onMouseMove(POINT at) {
    const Point point{at.x, at.y};
    lastPoint_ = point;
    const OutlookBarLayout place = layout();
    const OutlookHit hit = place.hitTest(point);
    switch (press_) {
        case Press::Header: {
            const bool down = hit.kind == OutlookHit::Header && hit.index == pressedHeader_;
            if (down != headerDown_) {
                headerDown_ = down;
                redraw();
            }
            return true;
        }
        case Press::Item:
            pressView_ = itemPress_.moved(hit, place.dropPlace(point));
            if (pressView_.dragging) updateCursor();
            redraw();
            return true;
        case Press::UpArrow:
        case Press::DownArrow:
            redraw();
            return true;
        case Press::None:
            break;
    }
    // Nothing changes under the mouse while one of the control's own windows (the caption
    // editor, a folder's child) has the focus.
    HWND focus = GetFocus();
    if (focus && focus != hwnd() && IsChild(hwnd(), focus)) return true;
    const int header = hit.kind == OutlookHit::Header ? hit.index : -1;
    const int item = hit.kind == OutlookHit::Item ? hit.index : -1;
    if (header != hotHeader_ || item != hotItem_) {
        hotHeader_ = header;
        hotItem_ = item;
        redraw();
        // The hover look is watched only while there is one: an idle bar has no timer.
        if ((header >= 0 || item >= 0) && model_.animationTick() > 0)
            SetTimer(hwnd(), kTickTimer, model_.animationTick(), nullptr);
    }
    return true;
}

bool OutlookBarCtrl::onLeftDown(POINT at) {
    const Point point{at.x, at.y};
    if (editor_) SetFocus(hwnd());  // a click elsewhere ends the editing
    lastPoint_ = point;
    const OutlookBarLayout place = layout();
    const OutlookHit hit = place.hitTest(point);
    switch (hit.kind) {
        case OutlookHit::Header:
            press_ = Press::Header;
            pressedHeader_ = hit.index;
            headerDown_ = true;
            break;
        case OutlookHit::Item:
            press_ = Press::Item;
            itemPress_ = OutlookItemPress(hit.index, model_.hasFlag(kOutlookDragItems));
            pressView_ = itemPress_.moved(hit, place.dropPlace(point));
            break;
        case OutlookHit::UpArrow:
        case OutlookHit::DownArrow:
            press_ = hit.kind == OutlookHit::UpArrow ? Press::UpArrow : Press::DownArrow;
            SetTimer(hwnd(), kScrollTimer, kScrollPeriod, nullptr);
            break;
        case OutlookHit::Nothing:
            return true;
    }
    SetCapture(hwnd());
    redraw();
    return true;
}

bool OutlookBarCtrl::onLeftUp(POINT at) {
    const Point point{at.x, at.y};
    if (press_ == Press::None) return true;
    lastPoint_ = point;
    const Press press = press_;
    const int header = pressedHeader_;
    const OutlookBarLayout place = layout();
    const OutlookHit hit = place.hitTest(point);
    const OutlookRelease release = itemPress_.released(hit, place.dropPlace(point));
    const bool onArrow = onPressedArrow();
    endPress();  // before the owner hears of it: its answer may open a dialog
    switch (press) {
        case Press::Header:
            if (hit.kind == OutlookHit::Header && hit.index == header) openFolder(header);
            break;
        case Press::Item:
            if (release.kind == OutlookRelease::Click) {
                const int previous = model_.clickItem(release.item);
                (void)previous;  // the whole control is redrawn
            } else if (release.kind == OutlookRelease::Move) {
                model_.moveItem(release.item, release.place);
            }
            break;
        case Press::UpArrow:
        case Press::DownArrow:
            if (onArrow) scrollBy(press == Press::UpArrow ? -1 : 1);
            break;
        case Press::None:
            break;
    }
    redraw();
    return true;
}

void OutlookBarCtrl::endPress() {
    press_ = Press::None;
    pressedHeader_ = -1;
    headerDown_ = false;
    itemPress_ = OutlookItemPress(-1, false);
    pressView_ = {};
    KillTimer(hwnd(), kScrollTimer);
    if (GetCapture() == hwnd()) ReleaseCapture();
    redraw();
}

bool OutlookBarCtrl::onPressedArrow() const {
    if (press_ != Press::UpArrow && press_ != Press::DownArrow) return false;
    const OutlookHit hit = layout().hitTest(lastPoint_);
    return hit.kind == (press_ == Press::UpArrow ? OutlookHit::UpArrow : OutlookHit::DownArrow);
}

void OutlookBarCtrl::scrollBy(int items) {
    const OutlookBarLayout place = layout();
    if (items < 0 && !place.upArrowShown()) return;
    if (items > 0 && !place.downArrowShown()) return;
    model_.setFirstVisible(model_.firstVisible() + items);
    hotItem_ = -1;
    redraw();
}

bool OutlookBarCtrl::onRightUp(POINT at) {
    const Point point{at.x, at.y};
    if (press_ != Press::None) return true;
    showMenuAt(point);
    return true;
}

void OutlookBarCtrl::showMenuAt(Point point) {
    rightClickAt(point);
    const auto menu = makeOwnerDrawnOutlookMenu(
        OutlookMenuState(rightClick_.kind, model_.openFolder(), model_.smallIcons()));
    if (!menu->handle()) return;
    POINT screen{point.x, point.y};
    ClientToScreen(hwnd(), &screen);
    // The bar draws the menu; the command goes to the parent as the menu would post it.
    if (const int command = menu->track(hwnd(), screen))
        PostMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

const OutlookHit& OutlookBarCtrl::rightClickAt(Point point) {
    rightClick_ = layout().hitTest(point);
    if (rightClick_.kind == OutlookHit::Header) openFolder(rightClick_.index);
    return rightClick_;
}

}  // namespace tarnix
