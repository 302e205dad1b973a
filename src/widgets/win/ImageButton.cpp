#include "widgets/win/ImageButton.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "base/Texts.h"
#include "widgets/SpokenText.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/Control.h"
#include "widgets/win/WindowDpi.h"
#include "TextIds.h"

namespace tarnix {

namespace {

// The faces painted when a look has no bitmap: the same blues as the art, grey when disabled.
constexpr COLORREF kFlatFaces[4] = {RGB(0x1F, 0x6F, 0xC5), RGB(0x3A, 0x86, 0xD8),
                                    RGB(0x17, 0x57, 0x9E), RGB(0xA3, 0xAB, 0xB5)};

// Messages after which a button's own procedure may have drawn its face straight on the
// screen (or, for BS_OWNERDRAW, asked the parent to), so ours must be put back.
bool repaintsItself(UINT msg) {
    switch (msg) {
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_SETCHECK:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_SETFONT:
        case WM_UPDATEUISTATE:
            return true;
        default:
            return false;
    }
}

}  // namespace

ImageButton::~ImageButton() {
    detach();
}

void ImageButton::attach(HWND button, int normal, int hover, int pressed, int disabled) {
    detach();
    if (!button || !IsWindow(button)) return;
    if (!SetWindowSubclass(button, subclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return;
    button_ = button;
    const int ids[4] = {normal, hover, pressed, disabled};
    std::copy(std::begin(ids), std::end(ids), ids_);
    scaleTo(dpiOf(button));
    accessible_.attach(button_, *this);
}

void ImageButton::scaleTo(Dpi dpi) {
    if (!button_) return;
    auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(button_, GWLP_HINSTANCE));
    if (!module) module = GetModuleHandleW(nullptr);
    for (int i = 0; i < 4; ++i) bitmaps_[i] = loadBitmap(ids_[i], dpi, module);
    InvalidateRect(button_, nullptr, FALSE);
}

void ImageButton::detach() {
    accessible_.detach();
    if (button_) {
        RemoveWindowSubclass(button_, subclassProc, reinterpret_cast<UINT_PTR>(this));
        InvalidateRect(button_, nullptr, TRUE);  // the button paints itself again
        button_ = nullptr;
    }
    freeBitmaps();
    hover_ = pressed_ = pushed_ = tracking_ = false;
}

AccessiblePart ImageButton::describe(int) const {
    AccessiblePart part;
    part.name = spokenCaption(Control(button_).text());
    part.role = ROLE_SYSTEM_PUSHBUTTON;
    part.defaultAction = text(IDS_ACC_PRESS);
    if (look() == Look::Pressed) part.state |= STATE_SYSTEM_PRESSED;
    if (SendMessageW(button_, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
        part.state |= STATE_SYSTEM_DEFAULT;
    return part;
}

// Posted, as a screen reader expects the call to return before the click's work is done.
bool ImageButton::doDefaultAction(int) {
    return PostMessageW(button_, BM_CLICK, 0, 0) != FALSE;
}

void ImageButton::freeBitmaps() {
    for (ScopedBitmap& bitmap : bitmaps_) bitmap.reset();
}

ImageButton::Look ImageButton::look() const {
    if (!button_) return Look::Normal;
    if (!IsWindowEnabled(button_)) return Look::Disabled;
    // A mouse press shows only while the mouse is over the button; otherwise the button's own
    // pushed state (the space bar, or BM_SETSTATE from elsewhere) decides.
    if (pressed_ ? hover_ : pushed_) return Look::Pressed;
    return hover_ ? Look::Hover : Look::Normal;
}

LRESULT CALLBACK ImageButton::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<ImageButton*>(self)->handle(msg, wParam, lParam);
}

LRESULT ImageButton::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND button = button_;
    switch (msg) {
        case WM_PAINT: {
            // Painting here for every style means a BS_OWNERDRAW button never asks its parent
            // for WM_DRAWITEM, and a push button never draws its themed face.
            PaintDC dc(button);
            if (dc.get()) paint(dc.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // paint() covers every pixel
        case WM_NCDESTROY:
            detach();
            return DefSubclassProc(button, msg, wParam, lParam);
        default:
            break;
    }

    const Look before = look();
    switch (msg) {
        case WM_MOUSEMOVE:
            trackMouse(lParam);
            break;
        case WM_MOUSELEAVE:
            hover_ = false;
            tracking_ = false;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressed_ = hover_ = true;
            break;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            // Releasing ends the press wherever the mouse is; the button itself decides,
            // while handling the message, whether that was a click.
            if (msg == WM_LBUTTONUP) trackMouse(lParam);
            pressed_ = pushed_ = false;
            break;
        case BM_SETSTATE:
            pushed_ = wParam != 0;
            break;
        case WM_ENABLE:
            // A disabled button gets no mouse input, so what was known of the mouse is stale.
            if (!wParam) hover_ = pressed_ = pushed_ = false;
            break;
        default:
            break;
    }
    LRESULT result = DefSubclassProc(button, msg, wParam, lParam);
    // The parent may have detached or destroyed the button while handling a click.
    if (button_ != button) return result;
    if (look() != before || repaintsItself(msg))
        RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return result;
}

void ImageButton::trackMouse(LPARAM point) {
    RECT client;
    GetClientRect(button_, &client);
    hover_ = PtInRect(&client, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}) != FALSE;
    if (hover_ && !tracking_) {
        TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, button_, 0};
        tracking_ = TrackMouseEvent(&leave) != FALSE;
    }
}

void ImageButton::paint(HDC target) const {
    RECT area;
    GetClientRect(button_, &area);
    if (!target || area.right <= 0 || area.bottom <= 0) return;
    // Composed off screen so the parent's background never flashes through the face.
    MemoryDC canvas(target);
    ScopedBitmap pixels(canvas ? CreateCompatibleBitmap(target, area.right, area.bottom) : nullptr);
    SelectGuard selected(canvas.get(), pixels.get());
    HDC dc = selected ? canvas.get() : target;

    paintParentBackground(dc);
    paintFace(dc, area);
    paintCaption(dc, area);
    paintFocus(dc, area);

    if (selected) BitBlt(target, 0, 0, area.right, area.bottom, canvas.get(), 0, 0, SRCCOPY);
}

void ImageButton::paintParentBackground(HDC dc) const {
    RECT area;
    GetClientRect(button_, &area);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    HWND parent = GetParent(button_);
    if (!parent) return;
    // Let the parent paint itself shifted so that its pixels under the button land in `dc`,
    // as it would erase and paint its own client area.
    POINT origin{0, 0};
    MapWindowPoints(button_, parent, &origin, 1);
    POINT oldViewport, oldBrush;
    SetViewportOrgEx(dc, -origin.x, -origin.y, &oldViewport);
    SetBrushOrgEx(dc, -origin.x, -origin.y, &oldBrush);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, oldViewport.x, oldViewport.y, nullptr);
    SetBrushOrgEx(dc, oldBrush.x, oldBrush.y, nullptr);
}

void ImageButton::paintFace(HDC dc, const RECT& area) const {
    if (highContrast()) {
        // The system's push button, in the colours the user chose.
        RECT face = area;
        FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
        UINT state = DFCS_BUTTONPUSH;
        if (look() == Look::Pressed) state |= DFCS_PUSHED;
        if (look() == Look::Disabled) state |= DFCS_INACTIVE;
        DrawFrameControl(dc, &face, DFC_BUTTON, state);
        return;
    }
    const int index = static_cast<int>(look());
    HBITMAP bitmap = bitmaps_[index].get();
    SIZE size = bitmapSize(bitmap);
    if (size.cx > 0 && size.cy > 0) {
        MemoryDC source(dc);
        SelectGuard selected(source.get(), bitmap);
        if (selected && TransparentBlt(dc, 0, 0, area.right, area.bottom, source.get(), 0, 0,
                                       size.cx, size.cy, kTransparent))
            return;
    }
    ScopedBrush flat(CreateSolidBrush(kFlatFaces[index]));
    FillRect(dc, &area, flat.get());
}

// The focus shows as the system's dotted rectangle inside the face, unless the window hides
// focus cues until the keyboard is used.
void ImageButton::paintFocus(HDC dc, const RECT& area) const {
    if (GetFocus() != button_) return;
    if (SendMessageW(button_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
    RECT ring = area;
    InflateRect(&ring, -3, -3);
    DrawFocusRect(dc, &ring);
}

void ImageButton::paintCaption(HDC dc, const RECT& area) const {
    const std::wstring caption = Control(button_).text();
    if (caption.empty()) return;

    auto font = reinterpret_cast<HFONT>(SendMessageW(button_, WM_GETFONT, 0, 0));
    if (!font) font = reinterpret_cast<HFONT>(SendMessageW(GetParent(button_), WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    COLORREF colour = RGB(255, 255, 255);
    if (highContrast())
        colour = GetSysColor(look() == Look::Disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    SetTextColor(dc, colour);
    RECT box = area;
    if (look() == Look::Pressed) OffsetRect(&box, 1, 1);  // the face seems pushed in
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

}  // namespace tarnix
