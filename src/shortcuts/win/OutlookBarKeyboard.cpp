// The outlook bar and the keyboard: the focus on a header or an item, moved by the arrow
// keys, Home and End, Enter and Space to open or start, the context-menu key for the menu;
// and what screen readers hear of the bar's folders and shortcuts.
#include "shortcuts/win/OutlookBarCtrl.h"

#include <algorithm>

#include "base/CodePage.h"
#include "base/Texts.h"
#include "TextIds.h"
#include "widgets/win/Control.h"

namespace tarnix {

bool OutlookBarCtrl::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_GETDLGCODE:
            result = arrowsAndEnterDialogCode(lParam);
            return true;
        case WM_KEYDOWN:
            return onKey(wParam);
        case WM_SETFOCUS:
            focus_ = keepFocusInside(model_, focus_);
            accessible_.notify(EVENT_OBJECT_FOCUS, focusedPart());
            redraw();
            return false;
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            redraw();
            return false;
        default:
            return false;
    }
}

bool OutlookBarCtrl::onKey(WPARAM key) {
    if (editor_) return false;
    OutlookFocus to = focus_;
    switch (key) {
        case VK_UP:
        case VK_LEFT:
            to = moveFocus(model_, focus_, OutlookKey::Up);
            break;
        case VK_DOWN:
        case VK_RIGHT:
            to = moveFocus(model_, focus_, OutlookKey::Down);
            break;
        case VK_HOME:
            to = moveFocus(model_, focus_, OutlookKey::Home);
            break;
        case VK_END:
            to = moveFocus(model_, focus_, OutlookKey::End);
            break;
        case VK_RETURN:
        case VK_SPACE:
            pressFocused();
            return true;
        default:
            return false;
    }
    setFocusPart(to);
    return true;
}

void OutlookBarCtrl::setFocusPart(OutlookFocus focus) {
    focus_ = keepFocusInside(model_, focus);
    if (focus_.kind == OutlookFocus::Item) scrollIntoView(focus_.index);
    redraw();
    accessible_.notify(EVENT_OBJECT_FOCUS, focusedPart());
}

void OutlookBarCtrl::scrollIntoView(int item) {
    if (item < model_.firstVisible()) model_.setFirstVisible(item);
    // An item shows once it starts inside the item area; the bar scrolls one item a step.
    for (int steps = model_.itemCount(); steps > 0; --steps) {
        const std::vector<int> shown = layout().shownItems();
        if (shown.empty() || item <= shown.back() || !layout().downArrowShown()) break;
        model_.setFirstVisible(model_.firstVisible() + 1);
    }
}

void OutlookBarCtrl::pressFocused() {
    focus_ = keepFocusInside(model_, focus_);
    if (model_.folderCount() == 0) return;
    if (focus_.kind == OutlookFocus::Header) {
        openFolder(focus_.index);
    } else {
        model_.clickItem(focus_.index);
    }
    redraw();
}

// Shift+F10 or the context-menu key: the menu of the part with the focus, at its place.
bool OutlookBarCtrl::onContextMenu(HWND, POINT screen) {
    if (screen.x != -1 || screen.y != -1) return false;
    focus_ = keepFocusInside(model_, focus_);
    const Rect part = focusRect();
    showMenuAt({part.left + 4, part.top + 4});
    return true;
}

Rect OutlookBarCtrl::focusRect() const {
    const OutlookBarLayout place = layout();
    if (focus_.kind == OutlookFocus::Item) return place.itemPlace(focus_.index).item;
    return place.header(focus_.index);
}

// The focus shows as the system's dotted rectangle, unless the window hides focus cues
// until the keyboard is used.
void OutlookBarCtrl::paintFocus(HDC dc) const {
    if (GetFocus() != hwnd() || model_.folderCount() == 0) return;
    if (SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
    if (focus_.kind == OutlookFocus::Item && model_.folder(model_.openFolder())->child) return;
    RECT ring = toRect(focusRect());
    InflateRect(&ring, -2, -2);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &ring);
}

// The folders are parts 1..F and the open folder's items F+1..F+N.
int OutlookBarCtrl::partCount() const {
    return model_.folderCount() + model_.itemCount();
}

int OutlookBarCtrl::focusedPart() const {
    if (model_.folderCount() == 0) return CHILDID_SELF;
    const OutlookFocus focus = keepFocusInside(model_, focus_);
    return focus.kind == OutlookFocus::Header ? focus.index + 1
                                              : model_.folderCount() + focus.index + 1;
}

AccessiblePart OutlookBarCtrl::describe(int child) const {
    AccessiblePart part;
    if (child == CHILDID_SELF) {
        part.name = text(IDS_TAB_SHORTCUTS);
        part.role = ROLE_SYSTEM_LIST;
        return part;
    }
    const OutlookBarLayout place = layout();
    const int folders = model_.folderCount();
    if (child <= folders) {
        const int folder = child - 1;
        part.name = gbToWide(model_.folderCaption(folder));
        part.role = ROLE_SYSTEM_PUSHBUTTON;
        part.defaultAction = text(IDS_ACC_OPEN);
        if (folder == model_.openFolder()) part.state |= STATE_SYSTEM_EXPANDED;
        else part.state |= STATE_SYSTEM_COLLAPSED;
        part.area = toRect(place.header(folder));
        return part;
    }
    const int item = child - folders - 1;
    part.name = gbToWide(model_.itemCaption(item));
    part.description = gbToWide(model_.itemTarget(item));
    part.role = ROLE_SYSTEM_LISTITEM;
    part.defaultAction = text(IDS_ACC_OPEN);
    part.state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    const std::vector<int> shown = place.shownItems();
    if (std::find(shown.begin(), shown.end(), item) == shown.end())
        part.state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    else
        part.area = toRect(place.itemPlace(item).item);
    return part;
}

bool OutlookBarCtrl::doDefaultAction(int child) {
    const int folders = model_.folderCount();
    if (child == CHILDID_SELF || child > partCount()) return false;
    const OutlookFocus focus = child <= folders
                                   ? OutlookFocus{OutlookFocus::Header, child - 1}
                                   : OutlookFocus{OutlookFocus::Item, child - folders - 1};
    // Starting a program may take a moment: the reader's call returns first.
    post([this, focus] {
        focus_ = focus;
        pressFocused();
    });
    return true;
}

}  // namespace tarnix
