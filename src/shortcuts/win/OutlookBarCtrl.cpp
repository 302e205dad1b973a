#include "shortcuts/win/OutlookBarCtrl.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "shortcuts/ShortcutRules.h"
#include "shortcuts/win/OutlookContextMenu.h"
#include "shortcuts/win/ShellItems.h"
#include "base/CodePage.h"

namespace tarnix {

namespace {

constexpr wchar_t kClassName[] = L"TarnixOutlookBar";
constexpr UINT kFinishEditing = WM_APP + 1;  // posted: the edit lost the focus
constexpr UINT_PTR kTickTimer = 1;

RECT toRect(const BarRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
BarPoint pointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

HFONT guiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void fill(HDC dc, const BarRect& area, COLORREF colour) {
    RECT r = toRect(area);
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

OutlookBarCtrl::OutlookBarCtrl(unsigned flags) : model_(flags) {
    model_.setNotifier([this](const OutlookNotification& n) { return notify(n); });
}

OutlookBarCtrl::~OutlookBarCtrl() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool OutlookBarCtrl::registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

bool OutlookBarCtrl::create(HWND parent, int id, const RECT& area) {
    if (hwnd_ || !registerClass()) return false;
    owner_ = parent;
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHandCursorId));
    if (!hand_) hand_ = LoadCursorW(nullptr, IDC_HAND);
    hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, area.left,
                            area.top, area.right - area.left, area.bottom - area.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK OutlookBarCtrl::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<OutlookBarCtrl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<OutlookBarCtrl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // An exception must never unwind through the system's dispatch.
    try {
        return self->handle(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT OutlookBarCtrl::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;  // painting covers everything
        case WM_PAINT: {
            PaintDC dc(hwnd_);
            paint(dc.get());
            return 0;
        }
        case WM_SIZE:
            for (int f = 0; f < model_.folderCount(); ++f) {
                if (HWND child = static_cast<HWND>(model_.folder(f)->child)) {
                    MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
                }
            }
            redraw();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                updateCursor();
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            onMouseMove(pointOf(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            onLeftDown(pointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            onLeftUp(pointOf(lParam));
            return 0;
        case WM_RBUTTONUP:
            onRightUp(pointOf(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            if (press_ != Press::None && reinterpret_cast<HWND>(lParam) != hwnd_) endPress();
            return 0;
        case WM_TIMER:
            if (wParam == kScrollTimer && onPressedArrow()) {
                scrollBy(press_ == Press::UpArrow ? -1 : 1);
            } else if (wParam == kTickTimer && (hotHeader_ >= 0 || hotItem_ >= 0)) {
                // The mouse may have left without a move inside: drop the hover look.
                POINT p;
                GetCursorPos(&p);
                if (WindowFromPoint(p) != hwnd_ && press_ == Press::None) {
                    hotHeader_ = hotItem_ = -1;
                    redraw();
                }
            }
            return 0;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == editor_ && editor_ &&
                HIWORD(wParam) == EN_KILLFOCUS) {
                PostMessageW(hwnd_, kFinishEditing, 0, 0);
            }
            return 0;
        case kFinishEditing:
            finishEditing();
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd_, kScrollTimer);
            KillTimer(hwnd_, kTickTimer);
            if (editor_) {
                RemoveWindowSubclass(editor_, editorProc, 0);
                editor_ = nullptr;
            }
            break;
        case WM_NCDESTROY: {
            HWND window = std::exchange(hwnd_, nullptr);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, msg, wParam, lParam);
        }
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// ---- the model's changes ----------------------------------------------------------------

std::intptr_t OutlookBarCtrl::notify(const OutlookNotification& n) {
    HWND target = owner_ ? owner_ : (hwnd_ ? GetParent(hwnd_) : nullptr);
    if (!target) return 0;
    const WPARAM code = static_cast<WPARAM>(n.code);
    if (n.code == OutlookNotice::ItemClicked || n.code == OutlookNotice::FolderOpened) {
        return SendMessageW(target, kNotifyMessage, code, n.index);
    }
    OutlookNotifyRecord record{n.folder, n.index, n.target, n.text.c_str()};
    return SendMessageW(target, kNotifyMessage, code, reinterpret_cast<LPARAM>(&record));
}

void OutlookBarCtrl::setImageLists(HIMAGELIST small, HIMAGELIST large) {
    small_ = small;
    large_ = large;
    redraw();
}

int OutlookBarCtrl::addFolder(const std::string& caption, std::intptr_t data) {
    const int index = model_.addFolder(caption, data);
    redraw();
    return index;
}

bool OutlookBarCtrl::removeFolder(int index) {
    const bool removed = model_.removeFolder(index);
    redraw();
    return removed;
}

int OutlookBarCtrl::insertItem(int folder, int index, OutlookItem item) {
    const int at = model_.insertItem(folder, index, std::move(item));
    redraw();
    return at;
}

bool OutlookBarCtrl::removeItem(int index) {
    const bool removed = model_.removeItem(index);
    hotItem_ = -1;
    redraw();
    return removed;
}

void OutlookBarCtrl::openFolder(int index) {
    if (!model_.canOpen(index)) return;
    const int old = model_.openFolder();
    if (old >= 0 && old < model_.folderCount()) {
        if (HWND child = static_cast<HWND>(model_.folder(old)->child)) ShowWindow(child, SW_HIDE);
    }
    if (hwnd_ && model_.hasFlag(kOutlookAnimate) && IsWindowVisible(hwnd_)) {
        for (const OutlookSlideFrame& frame : layout().slideFrames(index)) paintSlide(frame);
    }
    hotItem_ = -1;
    if (HWND child = static_cast<HWND>(model_.folder(index)->child)) {
        RECT client;
        GetClientRect(hwnd_, &client);
        MoveWindow(child, 0, 0, client.right, client.bottom, FALSE);
        ShowWindow(child, SW_SHOW);
    }
    model_.openFolder(index);
    redraw();
}

void OutlookBarCtrl::setSmallIcons(bool small) {
    if (model_.setSmallIcons(small)) {
        hotItem_ = -1;
        redraw();
    }
}

void OutlookBarCtrl::setAnimationTick(int milliseconds) {
    model_.setAnimationTick(milliseconds);
    if (!hwnd_) return;
    KillTimer(hwnd_, kTickTimer);
    if (model_.animationTick() > 0) SetTimer(hwnd_, kTickTimer, model_.animationTick(), nullptr);
}

void OutlookBarCtrl::redraw() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---- layout and painting ----------------------------------------------------------------

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
    if (hwnd_) GetClientRect(hwnd_, &client);
    m.client = {client.left, client.top, client.right, client.bottom};
    const bool small = model_.smallIcons();
    int cx = small ? 16 : 32, cy = cx;
    if (HIMAGELIST list = small ? small_ : large_) ImageList_GetIconSize(list, &cx, &cy);
    m.icon = {cx, cy};
    m.arrowSize = GetSystemMetrics(SM_CXVSCROLL);
    MemoryDC dc(nullptr);
    SelectGuard font(dc.get(), guiFont());
    const int wrap = OutlookBarLayout::captionWrapWidth(m.client);
    for (int i = 0; i < model_.itemCount(); ++i) {
        m.captions.push_back(measureCaption(dc.get(), model_.itemCaption(i), small, wrap));
    }
    return m;
}

OutlookBarLayout OutlookBarCtrl::layout() const {
    return OutlookBarLayout(model_, metrics());
}

void OutlookBarCtrl::paint(HDC target) {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Off screen first, so the headers and items never flicker.
    MemoryDC dc(target);
    ScopedBitmap bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    SelectGuard keepBitmap(dc.get(), bitmap.get());
    SelectGuard keepFont(dc.get(), guiFont());
    SetBkMode(dc.get(), TRANSPARENT);

    const OutlookBarLayout place = layout();
    fill(dc.get(), {0, 0, client.right, client.bottom}, GetSysColor(COLOR_BACKGROUND));
    for (int f = 0; f < model_.folderCount(); ++f) {
        const bool pressed = press_ == Press::Header && pressedHeader_ == f && headerDown_;
        paintHeader(dc.get(), place.header(f), f, pressed, hotHeader_ == f);
    }
    paintItems(dc.get(), place);
    BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

void OutlookBarCtrl::paintHeader(HDC dc, const BarRect& place, int folder, bool pressed,
                                 bool hot) const {
    RECT r = toRect(place);
    fill(dc, place, kFaceColour);
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
    const BarRect area = place.itemArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    paintArrows(dc, place);
    // The arrows stay on top of the items.
    if (place.upArrowShown()) {
        const BarRect a = place.upArrow();
        ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
    }
    if (place.downArrowShown()) {
        const BarRect a = place.downArrow();
        ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
    }
    const bool small = model_.smallIcons();
    HIMAGELIST images = small ? small_ : large_;
    SetTextColor(dc, RGB(255, 255, 255));
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
        const BarRect mark = place.insertionMark(pressView_.place);
        fill(dc, mark, RGB(0, 0, 0));
        // Small ticks at both ends make the line read as a place between items.
        fill(dc, {mark.left, mark.top - 2, mark.left + 1, mark.bottom + 2}, RGB(0, 0, 0));
        fill(dc, {mark.right - 1, mark.top - 2, mark.right, mark.bottom + 2}, RGB(0, 0, 0));
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
    WindowDC window(hwnd_);
    RECT client;
    GetClientRect(hwnd_, &client);
    MemoryDC dc(window.get());
    ScopedBitmap bitmap(CreateCompatibleBitmap(window.get(), client.right, client.bottom));
    SelectGuard keepBitmap(dc.get(), bitmap.get());
    SelectGuard keepFont(dc.get(), guiFont());
    SetBkMode(dc.get(), TRANSPARENT);
    fill(dc.get(), {0, 0, client.right, client.bottom}, GetSysColor(COLOR_BACKGROUND));
    for (int f = 0; f < static_cast<int>(frame.headers.size()); ++f) {
        paintHeader(dc.get(), frame.headers[f], f, false, false);
    }
    BitBlt(window.get(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

// ---- the mouse ---------------------------------------------------------------------------

void OutlookBarCtrl::updateCursor() const {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    if (press_ == Press::Item && itemPress_.dragging()) {
        SetCursor(pressView_.place >= 0 ? hand_ : LoadCursorW(nullptr, IDC_NO));
        return;
    }
    const OutlookHit hit = layout().hitTest({p.x, p.y});
    SetCursor(hit.kind == OutlookHit::Header ? hand_ : LoadCursorW(nullptr, IDC_ARROW));
}

void OutlookBarCtrl::onMouseMove(BarPoint point) {
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
            return;
        }
        case Press::Item:
            pressView_ = itemPress_.moved(hit, place.dropPlace(point));
            if (pressView_.dragging) updateCursor();
            redraw();
            return;
        case Press::UpArrow:
        case Press::DownArrow:
            redraw();
            return;
        case Press::None:
            break;
    }
    // Nothing changes under the mouse while one of the control's own windows (the caption
    // editor, a folder's child) has the focus.
    HWND focus = GetFocus();
    if (focus && focus != hwnd_ && IsChild(hwnd_, focus)) return;
    const int header = hit.kind == OutlookHit::Header ? hit.index : -1;
    const int item = hit.kind == OutlookHit::Item ? hit.index : -1;
    if (header != hotHeader_ || item != hotItem_) {
        hotHeader_ = header;
        hotItem_ = item;
        redraw();
    }
}

void OutlookBarCtrl::onLeftDown(BarPoint point) {
    if (editor_) SetFocus(hwnd_);  // a click elsewhere ends the editing
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
            SetTimer(hwnd_, kScrollTimer, kScrollPeriod, nullptr);
            break;
        case OutlookHit::Nothing:
            return;
    }
    SetCapture(hwnd_);
    redraw();
}

void OutlookBarCtrl::onLeftUp(BarPoint point) {
    if (press_ == Press::None) return;
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
}

void OutlookBarCtrl::endPress() {
    press_ = Press::None;
    pressedHeader_ = -1;
    headerDown_ = false;
    itemPress_ = OutlookItemPress(-1, false);
    pressView_ = {};
    KillTimer(hwnd_, kScrollTimer);
    if (GetCapture() == hwnd_) ReleaseCapture();
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

void OutlookBarCtrl::onRightUp(BarPoint point) {
    if (press_ != Press::None) return;
    rightClickAt(point);
    const auto menu = makeOwnerDrawnOutlookMenu(
        OutlookMenuState(rightClick_.kind, model_.openFolder(), model_.smallIcons()));
    if (!menu->handle()) return;
    POINT screen{point.x, point.y};
    ClientToScreen(hwnd_, &screen);
    // The bar draws the menu; the command goes to the parent as the menu would post it.
    if (const int command = menu->track(hwnd_, screen))
        PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

const OutlookHit& OutlookBarCtrl::rightClickAt(BarPoint point) {
    rightClick_ = layout().hitTest(point);
    if (rightClick_.kind == OutlookHit::Header) openFolder(rightClick_.index);
    return rightClick_;
}

// ---- captions edited in place -------------------------------------------------------------

void OutlookBarCtrl::editCaptionUnderRightClick() {
    if (rightClick_.kind == OutlookHit::Header) editFolderCaption(rightClick_.index);
    if (rightClick_.kind == OutlookHit::Item) editItemCaption(rightClick_.index);
}

HWND OutlookBarCtrl::editFolderCaption(int folder) {
    if (folder < 0 || folder >= model_.folderCount()) return nullptr;
    editing_ = {OutlookHit::Header, folder};
    return startEditor(layout().folderEditBox(folder), ES_CENTER | ES_AUTOHSCROLL,
                       model_.folderCaption(folder));
}

HWND OutlookBarCtrl::editItemCaption(int item) {
    if (item < 0 || item >= model_.itemCount()) return nullptr;
    editing_ = {OutlookHit::Item, item};
    const DWORD style = model_.smallIcons() ? ES_AUTOHSCROLL : ES_CENTER | ES_MULTILINE;
    return startEditor(layout().itemEditBox(item), style, model_.itemCaption(item));
}

HWND OutlookBarCtrl::startEditor(const BarRect& box, DWORD style, const std::string& text) {
    if (!hwnd_) return nullptr;
    if (editor_) finishEditing();
    editCancelled_ = false;
    const DWORD exStyle = editing_.kind == OutlookHit::Header ? WS_EX_CLIENTEDGE : 0;
    editor_ =
        CreateWindowExW(exStyle, L"EDIT", gbToWide(text).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_BORDER | style, box.left, box.top, box.width(),
                        box.height(), hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!editor_) return nullptr;
    SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), FALSE);
    SetWindowSubclass(editor_, editorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(editor_, EM_SETSEL, 0, -1);
    SetFocus(editor_);
    return editor_;
}

LRESULT CALLBACK OutlookBarCtrl::editorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR selfPointer) {
    auto* self = reinterpret_cast<OutlookBarCtrl*>(selfPointer);
    try {
        if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
        if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            self->editCancelled_ = wParam == VK_ESCAPE;
            SetFocus(self->hwnd_);
            // The lost focus ends the editing; so does this, should the edit not have had it.
            PostMessageW(self->hwnd_, kFinishEditing, 0, 0);
            return 0;
        }
        if (msg == WM_CHAR && (wParam == L'\r' || wParam == 27)) return 0;  // no beep
        if (msg == WM_CHAR) {
            // The edit grows with its text, up to the control's width.
            LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
            WindowDC dc(hwnd);
            SelectGuard font(dc.get(), guiFont());
            const int length = GetWindowTextLengthW(hwnd);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            GetWindowTextW(hwnd, text.data(), length + 1);
            SIZE size{};
            GetTextExtentPoint32W(dc.get(), text.c_str(), length, &size);
            RECT r, client;
            GetWindowRect(hwnd, &r);
            MapWindowPoints(nullptr, self->hwnd_, reinterpret_cast<POINT*>(&r), 2);
            GetClientRect(self->hwnd_, &client);
            const int wanted = std::min<int>(size.cx + 12, client.right - r.left);
            if (wanted > r.right - r.left) {
                SetWindowPos(hwnd, nullptr, 0, 0, wanted, r.bottom - r.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return result;
        }
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void OutlookBarCtrl::finishEditing() {
    if (!editor_) return;
    HWND editor = std::exchange(editor_, nullptr);
    const int length = GetWindowTextLengthW(editor);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(editor, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    RemoveWindowSubclass(editor, editorProc, 0);
    DestroyWindow(editor);
    if (editCancelled_) return;
    // The model leaves empty texts unreported.
    const std::string gb = wideToGb(text);
    if (editing_.kind == OutlookHit::Header) model_.editFolderCaption(editing_.index, gb);
    if (editing_.kind == OutlookHit::Item) model_.editItemCaption(editing_.index, gb);
    redraw();
}

// ---- files from the shell ------------------------------------------------------------------

void OutlookBarCtrl::onDropFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(std::move(path));
    }
    DragFinish(drop);
    if (addDroppedFiles(paths) > 0 && onFilesDropped) onFilesDropped();
}

int OutlookBarCtrl::addDroppedFiles(const std::vector<std::wstring>& paths) {
    if (!model_.acceptsDroppedFiles()) return 0;
    int added = 0;
    for (const std::wstring& dropped : paths) {
        const std::wstring target = resolveShortcut(dropped);
        const std::string gbTarget = wideToGb(target);
        if (gbTarget.size() > kMaxTargetBytes) continue;  // an item could not keep it
        const int image = addShellIcon(target, small_, large_);
        if (image < 0) continue;
        OutlookItem item;
        item.image = image;
        item.caption = captionFromFileName(wideToGb(dropped));
        item.target = gbTarget;
        item.location = locationFromTarget(gbTarget);
        if (model_.insertItem(model_.openFolder(), -1, std::move(item)) >= 0) ++added;
    }
    redraw();
    return added;
}

}  // namespace tarnix
