#include "widgets/win/Dialog.h"

#include "store/CodePage.h"

namespace tarnix {

void DataExchange::text(int id, std::wstring& field) {
    HWND control = GetDlgItem(dialog_, id);
    if (!control) return;
    if (toFields_) {
        int n = GetWindowTextLengthW(control);
        std::wstring buffer(static_cast<std::size_t>(n) + 1, L'\0');
        n = GetWindowTextW(control, buffer.data(), n + 1);
        field.assign(buffer.data(), static_cast<std::size_t>(n));
    } else {
        SetWindowTextW(control, field.c_str());
    }
}

void DataExchange::text(int id, std::string& gbField) {
    std::wstring wide = gbToWide(gbField);
    text(id, wide);
    if (toFields_) gbField = wideToGb(wide);
}

void DataExchange::check(int id, int& field) {
    if (toFields_) {
        field = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
    } else {
        CheckDlgButton(dialog_, id, field ? BST_CHECKED : BST_UNCHECKED);
    }
}

Dialog::~Dialog() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

INT_PTR Dialog::runModal(HWND owner) {
    modal_ = true;
    ended_ = false;
    if (!create(owner)) return -1;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);

    MSG msg;
    while (!ended_ && hwnd_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (preTranslateChain(msg)) continue;
        if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (hwnd_) DestroyWindow(hwnd_);
    if (owner) SetActiveWindow(owner);
    modal_ = false;
    return result_;
}

bool Dialog::preTranslateChain(MSG& msg) {
    // Only messages for this dialog or its controls and pages are its to see.
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    return preTranslate(msg);
}

HWND Dialog::create(HWND parent) {
    hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                               dialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd_;
}

void Dialog::end(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (hwnd_) DestroyWindow(hwnd_);
}

std::wstring Dialog::itemText(int id) const {
    std::wstring text;
    DataExchange(hwnd_, true).text(id, text);
    return text;
}

void Dialog::setItemText(int id, const std::wstring& text) {
    SetDlgItemTextW(hwnd_, id, text.c_str());
}

void Dialog::pull() {
    DataExchange dx(hwnd_, true);
    exchange(dx);
}

void Dialog::push() {
    DataExchange dx(hwnd_, false);
    exchange(dx);
}

INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR result = self->dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->ended_ = true;
    }
    return result;
}

INT_PTR Dialog::dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return onInitDialog();
        case WM_COMMAND:
            return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))
                       ? TRUE
                       : FALSE;
        case WM_DESTROY:
            onDestroy();
            return FALSE;
        default: {
            LRESULT result = 0;
            if (!onMessage(msg, wParam, lParam, result)) return FALSE;
            // These few messages take the handler's value as the procedure's own return value.
            bool direct = (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) ||
                          msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM ||
                          msg == WM_QUERYDRAGICON;
            if (direct) return static_cast<INT_PTR>(result);
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
}

}  // namespace tarnix
