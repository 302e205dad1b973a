#include "widgets/win/OwnerDrawnMenu.h"

#include <commctrl.h>

#include <algorithm>

namespace tarnix {

namespace {
constexpr int kTextGap = 8;      // between the icon column and the text
constexpr int kRightMargin = 16;
constexpr int kSeparatorHeight = 7;
constexpr int kIconSize = 16;
}  // namespace

OwnerDrawnMenu::OwnerDrawnMenu(HMENU popup) : menu_(popup) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font_.reset(CreateFontIndirectW(&metrics.lfMenuFont));
    const int count = popup ? GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<Entry>();
        wchar_t text[128] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        if (!GetMenuItemInfoW(popup, i, TRUE, &info)) continue;
        entry->command = static_cast<int>(info.wID);
        entry->separator = (info.fType & MFT_SEPARATOR) != 0;
        entry->text = text;
        MENUITEMINFOW drawn{};
        drawn.cbSize = sizeof(drawn);
        drawn.fMask = MIIM_FTYPE | MIIM_DATA;
        drawn.fType = MFT_OWNERDRAW | (entry->separator ? MFT_SEPARATOR : 0);
        drawn.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
        SetMenuItemInfoW(popup, i, TRUE, &drawn);
        entries_.push_back(std::move(entry));
    }
}

void OwnerDrawnMenu::setIcon(int command, ScopedIcon icon) {
    for (auto& entry : entries_) {
        if (!entry->separator && entry->command == command) {
            entry->icon = std::move(icon);
            return;
        }
    }
}

int OwnerDrawnMenu::track(HWND owner, POINT screen) {
    if (!menu_) return 0;
    SetWindowSubclass(owner, ownerProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
    const int command = static_cast<int>(
        TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x,
                       screen.y, 0, owner, nullptr));
    RemoveWindowSubclass(owner, ownerProc, reinterpret_cast<UINT_PTR>(this));
    return command;
}

LRESULT CALLBACK OwnerDrawnMenu::ownerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    if (reinterpret_cast<OwnerDrawnMenu*>(self)->handleMessage(msg, lParam)) return TRUE;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

const OwnerDrawnMenu::Entry* OwnerDrawnMenu::entryOf(ULONG_PTR data) const {
    for (const auto& entry : entries_)
        if (reinterpret_cast<ULONG_PTR>(entry.get()) == data) return entry.get();
    return nullptr;
}

bool OwnerDrawnMenu::handleMessage(UINT msg, LPARAM lParam) {
    if (msg == WM_MEASUREITEM) {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_MENU || !entryOf(item.itemData)) return false;
        measure(item);
        return true;
    }
    if (msg == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_MENU || !entryOf(item.itemData)) return false;
        draw(item);
        return true;
    }
    return false;
}

void OwnerDrawnMenu::measure(MEASUREITEMSTRUCT& item) const {
    const Entry& entry = *entryOf(item.itemData);
    if (entry.separator) {
        item.itemWidth = kIconColumnWidth;
        item.itemHeight = kSeparatorHeight;
        return;
    }
    SIZE text{};
    {
        const WindowDC screen(nullptr);
        SelectGuard keep(screen.get(), font_ ? static_cast<HGDIOBJ>(font_.get())
                                             : GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(screen.get(), entry.text.c_str(), static_cast<int>(entry.text.size()),
                              &text);
    }
    // The menu adds room for a check mark itself; the icon column is ours.
    item.itemWidth = static_cast<UINT>(kIconColumnWidth + kTextGap + text.cx + kRightMargin);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(text.cy + 8, kIconSize + 6));
}

void OwnerDrawnMenu::draw(const DRAWITEMSTRUCT& item) const {
    const Entry& entry = *entryOf(item.itemData);
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool greyed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0 && !greyed && !entry.separator;

    ScopedBrush background(CreateSolidBrush(kBackground));
    FillRect(dc, &area, background.get());
    RECT column = area;
    column.right = column.left + kIconColumnWidth;
    ScopedBrush columnBrush(CreateSolidBrush(kIconColumn));
    FillRect(dc, &column, columnBrush.get());

    if (entry.separator) {
        RECT line = area;
        line.left += kIconColumnWidth + 2;
        line.top += kSeparatorHeight / 2;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (selected) {
        RECT band = area;
        InflateRect(&band, -1, -1);
        ScopedBrush fill(CreateSolidBrush(kSelected));
        FillRect(dc, &band, fill.get());
        ScopedBrush frame(CreateSolidBrush(kSelectedFrame));
        FrameRect(dc, &band, frame.get());
    }
    if (entry.icon) {
        const int x = area.left + (kIconColumnWidth - kIconSize) / 2;
        const int y = area.top + (area.bottom - area.top - kIconSize) / 2;
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(entry.icon.get()), 0, x, y,
                   kIconSize, kIconSize, DST_ICON | (greyed ? DSS_DISABLED : DSS_NORMAL));
    }
    RECT text = area;
    text.left += kIconColumnWidth + kTextGap;
    SelectGuard keep(dc, font_ ? static_cast<HGDIOBJ>(font_.get())
                               : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, greyed ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
    DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &text, format);
}

}  // namespace tarnix
