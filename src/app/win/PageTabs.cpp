#include "app/win/PageTabs.h"

#include <uxtheme.h>

#include "resource.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/Strings.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

// At 96 DPI.
constexpr int kTabWidth = 40, kTabHeight = 38;
constexpr int kImageSize = 32;

// The pages start just right of the column of tabs.
Rect besideTheTabs(const Rect& area, const Rect& firstTab) {
    return {firstTab.right + 2, 2, area.right - 2, area.bottom - 2};
}

}  // namespace

void PageTabs::create(HWND owner, HWND tabs, std::span<Dialog* const> pages) {
    if (!tabs) return;
    const int count = static_cast<int>(pages.size());
    count_ = count;
    const Dpi dpi = dpiOf(owner);
    images_ = loadImageStrip(IDB_TABS, kImageSize, count, dpi);
    if (images_) TabCtrl_SetImageList(tabs, images_.get());
    TabCtrl_SetItemSize(tabs, dpi.scale(kTabWidth), dpi.scale(kTabHeight));
    // Visual styles draw vertical tabs as horizontal ones turned on their side; the
    // classic look draws them as they are.
    SetWindowTheme(tabs, L"", L"");
    for (int i = 0; i < count; ++i) host_.addPage(L"", *pages[i], i, loadString(IDS_TAB_LOGIN + i));
    host_.createPagesWhenShown();
    host_.create(tabs, besideTheTabs);
    addTooltips(owner, count);
    SetWindowSubclass(tabs, focusProc, 0, 0);
}

LRESULT CALLBACK PageTabs::focusProc(HWND tabs, UINT msg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR) {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(tabs, focusProc, 0);
    const LRESULT result = DefSubclassProc(tabs, msg, wParam, lParam);
    switch (msg) {
        case WM_PAINT: {
            WindowDC dc(tabs);
            paintFocus(tabs, dc.get());
            break;
        }
        case WM_PRINTCLIENT:
            paintFocus(tabs, reinterpret_cast<HDC>(wParam));
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            InvalidateRect(tabs, nullptr, FALSE);
            break;
        default:
            break;
    }
    return result;
}

// Drawn without XOR, so that painting it twice leaves it as it is.
void PageTabs::paintFocus(HWND tabs, HDC dc) {
    if (!dc || GetFocus() != tabs) return;
    if (SendMessageW(tabs, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
    RECT ring;
    if (!TabCtrl_GetItemRect(tabs, TabCtrl_GetCurSel(tabs), &ring)) return;
    InflateRect(&ring, -3, -3);
    ScopedPen pen(CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNTEXT)));
    SelectGuard withPen(dc, pen.get());
    SelectGuard hollow(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    Rectangle(dc, ring.left, ring.top, ring.right, ring.bottom);
}

void PageTabs::scaleTo(Dpi dpi) {
    HWND tabs = hwnd();
    if (!tabs) return;
    ScopedImageList images = loadImageStrip(IDB_TABS, kImageSize, count_, dpi);
    TabCtrl_SetImageList(tabs, images.get());
    images_ = std::move(images);
    TabCtrl_SetItemSize(tabs, dpi.scale(kTabWidth), dpi.scale(kTabHeight));
    host_.followDpi(dpi);
    placeTooltips();
}

// The tabs show only images; each says what it is in a tooltip.
void PageTabs::addTooltips(HWND owner, int count) {
    // Owned by `owner`, which destroys it with itself.
    HWND tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    if (!tooltips) return;
    tooltips_ = tooltips;
    TabCtrl_SetToolTips(hwnd(), tooltips);
    for (int i = 0; i < count; ++i) {
        std::wstring text = loadString(IDS_TAB_LOGIN + i);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = IDS_TAB_LOGIN + i;
        TabCtrl_GetItemRect(hwnd(), i, &tool.rect);
        tool.lpszText = text.data();
        SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PageTabs::placeTooltips() const {
    if (!tooltips_) return;
    for (int i = 0; i < count_; ++i) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hwnd();
        tool.uId = IDS_TAB_LOGIN + i;
        TabCtrl_GetItemRect(hwnd(), i, &tool.rect);
        SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace tarnix
