#include "widgets/win/TabHost.h"

#include <commctrl.h>

#include <algorithm>

#include "base/Texts.h"
#include "widgets/win/WindowDpi.h"
#include "TextIds.h"

namespace tarnix {
namespace {

// WM_DPICHANGED_AFTERPARENT (Windows 10 1703), which the headers give only for that target.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

}  // namespace

bool TabHost::addPage(std::wstring title, Dialog& page, int image, std::wstring spoken) {
    if (tabs_ || !pages_.add()) return false;
    entries_.push_back({std::move(title), &page, image, std::move(spoken)});
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
    accessible_.attach(tabs_, *this);
    dpi_ = dpiOf(tabs_);
    SetWindowSubclass(tabs_, dpiProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
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

TabHost::~TabHost() {
    if (tabs_) RemoveWindowSubclass(tabs_, dpiProc, reinterpret_cast<UINT_PTR>(this));
}

void TabHost::followDpi(Dpi to) {
    if (!tabs_ || to == dpi_) return;
    for (const Entry& entry : entries_)
        if (entry.page->hwnd()) entry.page->followDpi(dpi_, to);
    dpi_ = to;
    fitPages();
}

LRESULT CALLBACK TabHost::dpiProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self) {
    auto* host = reinterpret_cast<TabHost*>(self);
    if (msg == kDpiChangedAfterParent) host->followDpi(dpiOf(hwnd));
    // Resized by another hand (the dialog manager after a change of scale): the pages too.
    if (msg == WM_SIZE) {
        const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        host->fitPages();
        return result;
    }
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, dpiProc, id);
        host->tabs_ = nullptr;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
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
    accessible_.notify(EVENT_OBJECT_SELECTION, index + 1);
}

bool TabHost::handleNotify(const NMHDR& header) {
    if (!tabs_ || header.hwndFrom != tabs_ || header.code != TCN_SELCHANGE) return false;
    select(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    return true;
}

bool TabHost::handleKey(const MSG& msg) {
    // Hidden (the fault check's summary view), the tabs take no keys.
    if (!tabs_ || msg.message != WM_KEYDOWN || count() == 0 || !IsWindowVisible(tabs_)) return false;
    if (GetKeyState(VK_MENU) < 0) return false;
    const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    if (!control) {
        if (msg.wParam == VK_TAB) return handleTab(shift);
        // The arrows on the focused tabs, up and down too for a column of them.
        if (GetFocus() != tabs_) return false;
        if (msg.wParam == VK_LEFT || msg.wParam == VK_UP) {
            choose(std::max(selected() - 1, 0));
            return true;
        }
        if (msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN) {
            choose(std::min(selected() + 1, count() - 1));
            return true;
        }
        return false;
    }
    int step = 0;
    if (msg.wParam == VK_TAB) step = shift ? -1 : 1;
    if (msg.wParam == VK_NEXT) step = 1;
    if (msg.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    // The focus must not stay in the page that is about to hide.
    const bool inPage = IsChild(shownPage(), GetFocus());
    choose(pages_.neighbour(step));
    if (inPage) {
        HWND first = firstInPage(false);
        moveFocus(first ? first : tabs_);
    }
    return true;
}

// Tab order: whatever comes before the tab control, the tab control, the controls of its
// shown page, whatever comes after. The dialog manager would step over the tab control
// into a page (WS_EX_CONTROLPARENT), or never reach the page's controls at all.
bool TabHost::handleTab(bool back) {
    HWND focus = GetFocus();
    HWND dialog = GetParent(tabs_);
    auto inside = [this](HWND window) { return window == tabs_ || IsChild(tabs_, window); };
    // The dialog's next stop beyond the tab host, if it has one.
    auto beyond = [&](bool backwards) -> HWND {
        HWND next = GetNextDlgTabItem(dialog, tabs_, backwards);
        return next && !inside(next) ? next : nullptr;
    };
    HWND first = firstInPage(false), last = firstInPage(true);
    HWND to = nullptr;
    if (focus == tabs_) {
        to = back ? beyond(true) : first;
        if (!to) to = back ? last : beyond(false);
    } else if (IsChild(tabs_, focus)) {
        HWND page = shownPage();
        if (!IsChild(page, focus)) return false;
        // The page's own control, not a part of it (a combo box's edit).
        while (GetParent(focus) != page) focus = GetParent(focus);
        if (back ? focus == first : focus == last) {
            to = back ? tabs_ : beyond(false);
            if (!to) to = tabs_;
        } else {
            to = GetNextDlgTabItem(page, focus, back);
        }
    } else {
        HWND next = GetNextDlgTabItem(dialog, focus, back);
        if (!next || !inside(next)) return false;  // the dialog manager's own step
        to = back && last ? last : tabs_;
    }
    if (!to || to == focus) return false;
    moveFocus(to);
    return true;
}

HWND TabHost::shownPage() const {
    return count() > 0 ? page(selected()).hwnd() : nullptr;
}

// The first (or last) stop of the shown page; null when it has none.
HWND TabHost::firstInPage(bool last) const {
    HWND page = shownPage();
    if (!page) return nullptr;
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    if (!first || !IsChild(page, first)) return nullptr;
    return last ? GetNextDlgTabItem(page, first, TRUE) : first;
}

// As the dialog manager moves it: an edit box's text is selected, the default button kept.
void TabHost::moveFocus(HWND to) const {
    SendMessageW(GetParent(to), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(to), TRUE);
    if (GetFocus() != to) SetFocus(to);
}

void TabHost::choose(int index) {
    if (index == selected()) return;
    SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs_, static_cast<UINT_PTR>(GetDlgCtrlID(tabs_)),
                 static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(GetParent(tabs_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

AccessiblePart TabHost::describe(int child) const {
    AccessiblePart part;
    if (child == CHILDID_SELF) {
        part.role = ROLE_SYSTEM_PAGETABLIST;
        return part;
    }
    const Entry& entry = entries_.at(static_cast<std::size_t>(child - 1));
    part.name = entry.title.empty() ? entry.spoken : entry.title;
    part.role = ROLE_SYSTEM_PAGETAB;
    part.defaultAction = text(IDS_ACC_SWITCH);
    part.state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (child - 1 == selected()) part.state |= STATE_SYSTEM_SELECTED;
    SendMessageW(tabs_, TCM_GETITEMRECT, child - 1, reinterpret_cast<LPARAM>(&part.area));
    return part;
}

bool TabHost::doDefaultAction(int child) {
    if (child == CHILDID_SELF) return false;
    choose(child - 1);
    return true;
}

}  // namespace tarnix
