// The outlook bar's painting: off screen, then copied in one piece.
#include <algorithm>

#include "shortcuts/win/OutlookBarCtrl.h"
#include "base/CodePage.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {

namespace {

void fill(HDC dc, const Rect& area, COLORREF colour) {
    RECT r{area.left, area.top, area.right, area.bottom};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// The bar's colours; in high contrast the system's.
struct BarColours {
    COLORREF background, face, itemText, mark;
};
BarColours barColours() {
    if (highContrast())
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT),
                GetSysColor(COLOR_WINDOWTEXT)};
    return {GetSysColor(COLOR_BACKGROUND), OutlookBarCtrl::kFaceColour, RGB(255, 255, 255),
            RGB(0, 0, 0)};
}

}  // namespace

BarSize OutlookBarCtrl::measureCaption(HDC dc, const std::string& caption, bool small,
                                       int wrap) const {
    const std::wstring text = gbToWide(caption);
    RECT r{0, 0, small ? 10000 : std::max(1, wrap), 0};
    const UINT format = small ? DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT
                              : DT_WORDBREAK | DT_CENTER | DT_NOPREFIX | DT_CALCRECT;
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r, format);
    return {r.right - r.left, r.bottom - r.top};
}

OutlookMetrics OutlookBarCtrl::metrics() const {
    OutlookMetrics m;
    RECT client{};
    if (hwnd()) GetClientRect(hwnd(), &client);
    m.client = {client.left, client.top, client.right, client.bottom};
    const bool small = model_.smallIcons();
    int cx = small ? 16 : 32, cy = cx;
    if (HIMAGELIST list = small ? small_ : large_) ImageList_GetIconSize(list, &cx, &cy);
    m.icon = {cx, cy};
    m.dpi = dpiOf(hwnd());
    m.arrowSize = metricAt(SM_CXVSCROLL, m.dpi);
    MemoryDC dc(nullptr);
    SelectGuard font(dc.get(), guiFont());
    const int wrap = OutlookBarLayout::captionWrapWidth(m.client, m.dpi);
    for (int i = 0; i < model_.itemCount(); ++i) {
        m.captions.push_back(measureCaption(dc.get(), model_.itemCaption(i), small, wrap));
    }
    return m;
}

OutlookBarLayout OutlookBarCtrl::layout() const {
    return OutlookBarLayout(model_, metrics());
}

void OutlookBarCtrl::onPaint(HDC target, const RECT&) {
    RECT client;
    GetClientRect(hwnd(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Off screen first, so the headers and items never flicker.
    MemoryDC dc(target);
    ScopedBitmap bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    SelectGuard keepBitmap(dc.get(), bitmap.get());
    SelectGuard keepFont(dc.get(), guiFont());
    SetBkMode(dc.get(), TRANSPARENT);

    const OutlookBarLayout place = layout();
    fill(dc.get(), {0, 0, client.right, client.bottom}, barColours().background);
    for (int f = 0; f < model_.folderCount(); ++f) {
        const bool pressed = press_ == Press::Header && pressedHeader_ == f && headerDown_;
        paintHeader(dc.get(), place.header(f), f, pressed, hotHeader_ == f);
    }
    paintItems(dc.get(), place);
    paintFocus(dc.get());
    BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

void OutlookBarCtrl::paintHeader(HDC dc, const Rect& place, int folder, bool pressed,
                                 bool hot) const {
    RECT r = toRect(place);
    fill(dc, place, barColours().face);
    // A line along the top keeps neighbouring headers apart.
    fill(dc, {place.left, place.top, place.right, place.top + 1}, GetSysColor(COLOR_3DSHADOW));
    if (pressed) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    } else {
        DrawEdge(dc, &r, hot ? EDGE_RAISED : BDR_RAISEDINNER, BF_RECT);
    }
    const std::wstring caption = gbToWide(model_.folderCaption(folder));
    if (pressed) OffsetRect(&r, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), -1, &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void OutlookBarCtrl::paintItems(HDC dc, const OutlookBarLayout& place) const {
    if (model_.openFolder() < 0 || model_.folder(model_.openFolder())->child) return;
    const Rect area = place.itemArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    paintArrows(dc, place);
    // The arrows stay on top of the items.
    if (place.upArrowShown()) {
        const Rect a = place.upArrow();
        ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
    }
    if (place.downArrowShown()) {
        const Rect a = place.downArrow();
        ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
    }
    const bool small = model_.smallIcons();
    HIMAGELIST images = small ? small_ : large_;
    const BarColours colours = barColours();
    SetTextColor(dc, colours.itemText);
    for (int i : place.shownItems()) {
        const OutlookItemPlace at = place.itemPlace(i);
        const OutlookItem* item = model_.item(i);
        if (images)
            ImageList_Draw(images, item->image, dc, at.icon.left, at.icon.top, ILD_TRANSPARENT);
        RECT caption = toRect(at.caption);
        const std::wstring text = gbToWide(item->caption);
        DrawTextW(dc, text.c_str(), -1, &caption,
                  small ? DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX
                        : DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
        // The frame around the icon: pressed while the button is down on it, the hover
        // frame otherwise, and the selected item's sunken frame where the flags keep it.
        RECT frame = toRect(at.icon);
        InflateRect(&frame, 2, 2);
        const bool pressedHere = press_ == Press::Item && itemPress_.item() == i &&
                                 pressView_.framePressed && !pressView_.dragging;
        if (pressedHere) {
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
        } else if (i == model_.selectedItem() && model_.hasFlag(kOutlookSelectedSunken)) {
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
        } else if (i == hotItem_ && model_.hoverFrameOn(i) && press_ == Press::None) {
            DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
        }
    }
    if (press_ == Press::Item && pressView_.dragging && pressView_.place >= 0) {
        const Rect mark = place.insertionMark(pressView_.place);
        fill(dc, mark, colours.mark);
        // Small ticks at both ends make the line read as a place between items.
        fill(dc, {mark.left, mark.top - 2, mark.left + 1, mark.bottom + 2}, colours.mark);
        fill(dc, {mark.right - 1, mark.top - 2, mark.right, mark.bottom + 2}, colours.mark);
    }
    RestoreDC(dc, saved);
}

void OutlookBarCtrl::paintArrows(HDC dc, const OutlookBarLayout& place) const {
    if (place.upArrowShown()) {
        RECT r = toRect(place.upArrow());
        const bool down = press_ == Press::UpArrow && onPressedArrow();
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLUP | (down ? DFCS_PUSHED : 0));
    }
    if (place.downArrowShown()) {
        RECT r = toRect(place.downArrow());
        const bool down = press_ == Press::DownArrow && onPressedArrow();
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | (down ? DFCS_PUSHED : 0));
    }
}

void OutlookBarCtrl::paintSlide(const OutlookSlideFrame& frame) {
    WindowDC window(hwnd());
    RECT client;
    GetClientRect(hwnd(), &client);
    MemoryDC dc(window.get());
    ScopedBitmap bitmap(CreateCompatibleBitmap(window.get(), client.right, client.bottom));
    SelectGuard keepBitmap(dc.get(), bitmap.get());
    SelectGuard keepFont(dc.get(), guiFont());
    SetBkMode(dc.get(), TRANSPARENT);
    fill(dc.get(), {0, 0, client.right, client.bottom}, barColours().background);
    for (int f = 0; f < static_cast<int>(frame.headers.size()); ++f) {
        paintHeader(dc.get(), frame.headers[f], f, false, false);
    }
    BitBlt(window.get(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace tarnix
