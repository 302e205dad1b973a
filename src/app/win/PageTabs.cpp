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

}  // namespace

void PageTabs::attach(HWND owner, HWND tabs, int tabCount) {
    owner_ = owner;
    tabs_ = tabs;
    if (!tabs_) return;
    images_ = loadImageStrip(IDB_TABS, kImageSize, tabCount);
    if (images_) TabCtrl_SetImageList(tabs_, images_.get());
    TabCtrl_SetItemSize(tabs_, kTabWidth, kTabHeight);
    // Visual styles draw vertical tabs as horizontal ones turned on their side; the
    // classic look draws them as they are.
    SetWindowTheme(tabs_, L"", L"");

    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < tabCount; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<wchar_t*>(L"");
        item.iImage = i;
        TabCtrl_InsertItem(tabs_, i, &item);
    }
    if (!tooltips_) return;
    TabCtrl_SetToolTips(tabs_, tooltips_);
    for (int i = 0; i < tabCount; ++i) {
        std::wstring text = loadString(IDS_TAB_LOGIN + i);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = tabs_;
        tool.uId = IDS_TAB_LOGIN + i;
        TabCtrl_GetItemRect(tabs_, i, &tool.rect);
        tool.lpszText = text.data();
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PageTabs::addPage(Dialog& page) {
    if (!page.hwnd() && !page.create(tabs_ ? tabs_ : owner_)) return;
    place(page.hwnd());
    pages_.push_back(page.hwnd());
}

void PageTabs::fitPages() {
    for (HWND page : pages_) place(page);
}

void PageTabs::place(HWND page) {
    RECT area;
    GetClientRect(GetParent(page), &area);
    SetWindowPos(page, HWND_TOP, kPageLeft, 2, area.right - kPageLeft - 2, area.bottom - 4,
                 SWP_NOACTIVATE);
}

void PageTabs::select(int index) {
    if (tabs_) TabCtrl_SetCurSel(tabs_, index);
    showSelected();
}

void PageTabs::showSelected() {
    int current = selected();
    for (std::size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i], static_cast<int>(i) == current ? SW_SHOW : SW_HIDE);
}

int PageTabs::selected() const {
    return tabs_ ? TabCtrl_GetCurSel(tabs_) : 0;
}

}  // namespace tarnix
