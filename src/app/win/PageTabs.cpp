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
}

void PageTabs::scaleTo(Dpi dpi) {
    HWND tabs = hwnd();
    if (!tabs) return;
    ScopedImageList images = loadImageStrip(IDB_TABS, kImageSize, count_, dpi);
    TabCtrl_SetImageList(tabs, images.get());
    images_ = std::move(images);
    TabCtrl_SetItemSize(tabs, dpi.scale(kTabWidth), dpi.scale(kTabHeight));
    host_.fitPages();
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
