#include "widgets/win/TabHost.h"

#include <commctrl.h>

namespace tarnix {

bool TabHost::addPage(std::wstring title, Dialog& page, int image) {
    if (tabs_ || !pages_.add()) return false;
    entries_.push_back({std::move(title), &page, image});
    return true;
}

void TabHost::create(HWND tabs, Placement placement) {
    tabs_ = tabs;
    placement_ = placement;
    if (!tabs_) return;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = entries_[i].title.data();
        if (entries_[i].image >= 0) {
            tab.mask |= TCIF_IMAGE;
            tab.iImage = entries_[i].image;
        }
        SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
    }
    for (int i = 0; i < count(); ++i) {
        const bool shown = i == pages_.selected();
        if ((whenShown_ && !shown) || !open(i)) continue;
        place(page(i).hwnd());
        ShowWindow(page(i).hwnd(), shown ? SW_SHOW : SW_HIDE);
    }
    SendMessageW(tabs_, TCM_SETCURSEL, pages_.selected(), 0);
}

bool TabHost::open(int index) {
    Dialog& page = this->page(index);
    return page.hwnd() || page.create(tabs_);
}

void TabHost::place(HWND page) const {
    RECT client{}, first{};
    GetClientRect(tabs_, &client);
    SendMessageW(tabs_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    Rect box = placement_({client.left, client.top, client.right, client.bottom},
                          {first.left, first.top, first.right, first.bottom});
    SetWindowPos(page, HWND_TOP, box.left, box.top, box.width(), box.height(), SWP_NOACTIVATE);
}

void TabHost::fitPages() const {
    for (const Entry& entry : entries_)
        if (entry.page->hwnd()) place(entry.page->hwnd());
}

void TabHost::select(int index) {
    int before = pages_.selected();
    if (!pages_.select(index)) return;
    SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
    if (HWND old = page(before).hwnd()) ShowWindow(old, SW_HIDE);
    HWND now = page(index).hwnd();
    if (!now && open(index)) {
        now = page(index).hwnd();
        place(now);
    }
    if (now) ShowWindow(now, SW_SHOW);
}

bool TabHost::handleNotify(const NMHDR& header) {
    if (!tabs_ || header.hwndFrom != tabs_ || header.code != TCN_SELCHANGE) return false;
    select(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    return true;
}

}  // namespace tarnix
