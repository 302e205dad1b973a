// The toolbar and the keyboard: a stop of the window's Tab cycle whose hot button the arrows,
// Home and End move and Enter or Space press. The hot button stays drawn while the focus is
// on the toolbar, wherever the mouse goes, so the focus always shows.
#include "app/win/MainToolbar.h"

#include "widgets/ToolbarKeys.h"
#include "widgets/win/Control.h"

namespace tarnix {

MainToolbar::~MainToolbar() {
    if (toolbar_) RemoveWindowSubclass(toolbar_.hwnd(), keyboardProc, reinterpret_cast<UINT_PTR>(this));
}

LRESULT CALLBACK MainToolbar::keyboardProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self) {
    auto* toolbar = reinterpret_cast<MainToolbar*>(self);
    LRESULT result = 0;
    if (toolbar->onKeyboard(msg, wParam, lParam, result)) return result;
    if (msg == WM_NCDESTROY) {
        // The handle is no one's any more: nothing sends to it or unhooks it again.
        RemoveWindowSubclass(hwnd, keyboardProc, id);
        toolbar->toolbar_.attach(nullptr);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool MainToolbar::onKeyboard(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_GETDLGCODE:
            result = arrowsAndEnterDialogCode(lParam);
            return true;
        case WM_KEYDOWN:
            return onKey(wParam);
        case WM_SETFOCUS:
            // Anchored, the hot button stays hot when the mouse passes over and leaves.
            SendMessageW(toolbar_.hwnd(), TB_SETANCHORHIGHLIGHT, TRUE, 0);
            setHot(keepHot(pressable(), keyHot_));
            return false;
        case WM_KILLFOCUS: {
            const int hot = static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_GETHOTITEM, 0, 0));
            if (hot >= 0) keyHot_ = hot;
            SendMessageW(toolbar_.hwnd(), TB_SETANCHORHIGHLIGHT, FALSE, 0);
            SendMessageW(toolbar_.hwnd(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
            return false;
        }
        default:
            return false;
    }
}

bool MainToolbar::onKey(WPARAM key) {
    // The hot button as it stands: the mouse may have moved it since the last key.
    const int hot = static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_GETHOTITEM, 0, 0));
    ToolbarKey move;
    switch (key) {
        case VK_LEFT:
        case VK_UP:
            move = ToolbarKey::Previous;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            move = ToolbarKey::Next;
            break;
        case VK_HOME:
            move = ToolbarKey::First;
            break;
        case VK_END:
            move = ToolbarKey::Last;
            break;
        case VK_RETURN:
        case VK_SPACE:
            if (hot >= 0) doDefaultAction(hot + 1);
            return true;
        default:
            return false;
    }
    setHot(moveHot(pressable(), hot, move));
    return true;
}

std::vector<bool> MainToolbar::pressable() const {
    std::vector<bool> buttons(static_cast<std::size_t>(partCount()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON button{};
        SendMessageW(toolbar_.hwnd(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        buttons[i] = !(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED) &&
                     !(button.fsState & TBSTATE_HIDDEN);
    }
    return buttons;
}

void MainToolbar::setHot(int index) {
    keyHot_ = index;
    SendMessageW(toolbar_.hwnd(), TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
    if (index >= 0) accessible_.notify(EVENT_OBJECT_FOCUS, index + 1);
}

int MainToolbar::focusedPart() const {
    if (!focused()) return 0;
    const int hot = static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_GETHOTITEM, 0, 0));
    return hot >= 0 ? hot + 1 : 0;
}

}  // namespace tarnix
