#include "shortcuts/win/OutlookBarCtrl.h"

#include <utility>

namespace tarnix {

namespace {
const WindowClass kClass{L"TarnixOutlookBar", CS_DBLCLKS};
}  // namespace

OutlookBarCtrl::OutlookBarCtrl(unsigned flags) : model_(flags) {
    model_.setNotifier([this](const OutlookNotification& n) { return notify(n); });
}

bool OutlookBarCtrl::create(HWND parent, int id, const RECT& area) {
    if (hwnd()) return false;
    owner_ = parent;
    hand_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHandCursorId));
    if (!hand_) hand_ = LoadCursorW(nullptr, IDC_HAND);
    if (!Window::create(kClass, parent, id, area,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP))
        return false;
    accessible_.attach(hwnd(), *this);
    return true;
}

void OutlookBarCtrl::onSize(UINT, int width, int height) {
    for (int f = 0; f < model_.folderCount(); ++f) {
        if (HWND child = static_cast<HWND>(model_.folder(f)->child)) {
            MoveWindow(child, 0, 0, width, height, TRUE);
        }
    }
    redraw();
}

void OutlookBarCtrl::onDestroy() {
    KillTimer(hwnd(), kScrollTimer);
    KillTimer(hwnd(), kTickTimer);
    if (editor_) {
        RemoveWindowSubclass(editor_.get(), editorProc, 0);
        editor_.release();  // a child: the system destroys it with this window
    }
}

// ---- the model's changes ----------------------------------------------------------------

std::intptr_t OutlookBarCtrl::notify(const OutlookNotification& n) {
    HWND target = owner_ ? owner_ : (hwnd() ? GetParent(hwnd()) : nullptr);
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
    if (hwnd() && model_.hasFlag(kOutlookAnimate) && IsWindowVisible(hwnd())) {
        for (const OutlookSlideFrame& frame : layout().slideFrames(index)) paintSlide(frame);
    }
    hotItem_ = -1;
    if (HWND child = static_cast<HWND>(model_.folder(index)->child)) {
        RECT client;
        GetClientRect(hwnd(), &client);
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
    if (!hwnd()) return;
    KillTimer(hwnd(), kTickTimer);  // set again by the next hover
}

void OutlookBarCtrl::redraw() {
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace tarnix
