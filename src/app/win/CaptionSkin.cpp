#include "app/win/CaptionSkin.h"

#include "resource.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Contrast.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

// At 96 DPI.
constexpr int kButtonWidth = 19, kIconSize = 16, kTitleLeft = 24;
// Through the middle the blue of the caption buttons' corners.
constexpr COLORREF kCaptionTop = RGB(45, 125, 212), kCaptionBottom = RGB(24, 98, 182);

// Where the system draws the caption, in window coordinates.
RECT captionRect(HWND window, Dpi dpi) {
    RECT w;
    GetWindowRect(window, &w);
    LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    int frameX = metricAt(SM_CXFIXEDFRAME, dpi), frameY = metricAt(SM_CYFIXEDFRAME, dpi);
    int height = metricAt((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION, dpi);
    return {frameX, frameY, (w.right - w.left) - frameX, frameY + height - 1};
}

void fillGradient(HDC dc, const RECT& r) {
    TRIVERTEX v[2] = {
        {r.left, r.top, static_cast<COLOR16>(GetRValue(kCaptionTop) << 8),
         static_cast<COLOR16>(GetGValue(kCaptionTop) << 8),
         static_cast<COLOR16>(GetBValue(kCaptionTop) << 8), 0},
        {r.right, r.bottom, static_cast<COLOR16>(GetRValue(kCaptionBottom) << 8),
         static_cast<COLOR16>(GetGValue(kCaptionBottom) << 8),
         static_cast<COLOR16>(GetBValue(kCaptionBottom) << 8), 0}};
    GRADIENT_RECT g{0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

// With desktop composition the system draws the frame itself and nothing drawn over the
// caption would show; the classic frame lets the skin paint it.
void useClassicFrame(HWND window) {
    ScopedLibrary dwm(LoadLibraryW(L"dwmapi.dll"));
    if (!dwm) return;
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    auto set = reinterpret_cast<SetAttribute>(
        reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmSetWindowAttribute")));
    const DWORD kNonClientRenderingPolicy = 2, kDisabled = 1;
    if (set) set(window, kNonClientRenderingPolicy, &kDisabled, sizeof(kDisabled));
}

}  // namespace

void CaptionSkin::attach(HWND window, HICON icon, std::wstring title) {
    window_ = window;
    icon_ = icon;
    title_ = std::move(title);
    scaleTo(dpiOf(window));
    useClassicFrame(window_);
}

void CaptionSkin::scaleTo(Dpi dpi) {
    dpi_ = dpi;
    close_ = loadBitmap(IDB_CAPTION_CLOSE, dpi);
    closeHot_ = loadBitmap(IDB_CAPTION_CLOSE_HOT, dpi);
    minimize_ = loadBitmap(IDB_CAPTION_MINIMIZE, dpi);
    minimizeHot_ = loadBitmap(IDB_CAPTION_MINIMIZE_HOT, dpi);
}

CaptionSkin::Button CaptionSkin::buttonAt(POINT screen) const {
    if (PtInRect(&closeRect_, screen)) return Button::Close;
    if (PtInRect(&minimizeRect_, screen)) return Button::Minimize;
    return Button::None;
}

bool CaptionSkin::handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // In high contrast the system's own caption shows, in the colours the user chose.
    if (!window_ || highContrast()) return false;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (msg) {
        case WM_MOVE:
        case WM_NCPAINT:
        case WM_NCACTIVATE:
        case WM_SETTEXT:
            result = DefWindowProcW(window_, msg, wParam, lParam);
            paint();
            return true;
        case WM_NCMOUSEMOVE: {
            Button now = buttonAt(at);
            if (now != Button::None) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, window_, 0};
                TrackMouseEvent(&track);
            }
            if (now != hot_) {
                hot_ = now;
                paint();
            }
            return false;
        }
        case WM_NCMOUSELEAVE:
            if (hot_ != Button::None) {
                hot_ = Button::None;
                paint();
            }
            return false;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            // The system's own buttons lie under the skin's; they must not react.
            return buttonAt(at) != Button::None;
        case WM_NCLBUTTONUP:
            switch (buttonAt(at)) {
                case Button::Close:
                    PostMessageW(window_, WM_CLOSE, 0, 0);
                    return true;
                case Button::Minimize:
                    PostMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

void CaptionSkin::paint() {
    if (!IsWindowVisible(window_) || IsIconic(window_)) return;
    WindowDC windowDc(window_, true);
    HDC dc = windowDc.get();
    if (!dc) return;
    RECT caption = captionRect(window_, dpi_);
    fillGradient(dc, caption);
    int height = caption.bottom - caption.top;
    int iconSize = height - 2 < dpi_.scale(kIconSize) ? height - 2 : dpi_.scale(kIconSize);
    if (icon_)
        DrawIconEx(dc, caption.left + dpi_.scale(4), caption.top + (height - iconSize) / 2, icon_,
                   iconSize, iconSize, 0, nullptr, DI_NORMAL);

    NONCLIENTMETRICSW metrics = nonClientMetricsAt(dpi_);
    ScopedFont font(CreateFontIndirectW(&metrics.lfSmCaptionFont));
    {
        SelectGuard selected(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        RECT text = caption;
        text.left += dpi_.scale(kTitleLeft);
        text.right -= dpi_.scale(2 * kButtonWidth + 4);
        DrawTextW(dc, title_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }

    RECT window;
    GetWindowRect(window_, &window);
    paintButton(dc, window, Button::Close, hot_ == Button::Close);
    paintButton(dc, window, Button::Minimize, hot_ == Button::Minimize);
}

void CaptionSkin::paintButton(HDC dc, const RECT& window, Button which, bool hot) {
    RECT caption = captionRect(window_, dpi_);
    int height = caption.bottom - caption.top;
    const int width = dpi_.scale(kButtonWidth);
    int size = height - 2 < width ? height - 2 : width;
    int right =
        caption.right - dpi_.scale(2) - (which == Button::Close ? 0 : width + dpi_.scale(2));
    RECT r{right - size, caption.top + (height - size) / 2, right,
           caption.top + (height - size) / 2 + size};
    RECT& remembered = which == Button::Close ? closeRect_ : minimizeRect_;
    remembered = {window.left + r.left, window.top + r.top, window.left + r.right,
                  window.top + r.bottom};

    const ScopedBitmap& face = which == Button::Close ? (hot ? closeHot_ : close_)
                                                      : (hot ? minimizeHot_ : minimize_);
    HBITMAP bitmap = face.get();
    if (!bitmap) {
        // Without its bitmaps the button is still there and still works.
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    MemoryDC source(dc);
    SelectGuard selected(source.get(), bitmap);
    SIZE bitmapExtent = bitmapSize(bitmap);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, r.left, r.top, size, size, source.get(), 0, 0, bitmapExtent.cx,
               bitmapExtent.cy, SRCCOPY);
}

}  // namespace tarnix
