#include "app/win/PageTabs.h"

#include <uxtheme.h>

#include "resource.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/Strings.h"

namespace tarnix {
namespace {

constexpr int kTabWidth = 40, kTabHeight = 38;
constexpr int kImageSize = 32;
// The pages start this far right of the tab control's left edge, past the tabs.
constexpr int kPageLeft = 42;

Rect besideTheTabs(const Rect& area, const Rect&) {
    return {kPageLeft, 2, area.right - 2, area.bottom - 2};
}

}  // namespace

void PageTabs::create(HWND owner, HWND tabs, std::span<Dialog* const> pages) {
    if (!tabs) return;
    const int count = static_cast<int>(pages.size());
    images_ = loadImageStrip(IDB_TABS, kImageSize, count);
    if (images_) TabCtrl_SetImageList(tabs, images_.get());
    TabCtrl_SetItemSize(tabs, kTabWidth, kTabHeight);
    // Visual styles draw vertical tabs as horizontal ones turned on their side; the
    // classic look draws them as they are.
    SetWindowTheme(tabs, L"", L"");
    for (int i = 0; i < count; ++i) host_.addPage(L"", *pages[i], i);
    host_.create(tabs, besideTheTabs);
    addTooltips(owner, count);
}

// The tabs show only images; each says what it is in a tooltip.
void PageTabs::addTooltips(HWND owner, int count) {
    // Owned by `owner`, which destroys it with itself.
    HWND tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    if (!tooltips) return;
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

}  // namespace tarnix
