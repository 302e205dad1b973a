#include "widgets/win/Dialog.h"

#include <algorithm>
#include <vector>

#include "base/CodePage.h"

namespace tarnix {
namespace {

// The open modeless dialogs of the user-interface thread.
std::vector<HWND>& modelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// These few messages take the handler's value as the procedure's own return value.
bool returnsDirectly(UINT msg) {
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON ||
           msg == WM_INITDIALOG;
}

}  // namespace

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

void DataExchange::check(int id, bool& field) {
    int value = field ? 1 : 0;
    check(id, value);
    field = value != 0;
}

Dialog::~Dialog() {
    // A window that outlives its object would call into freed memory.
    if (hwnd() && IsWindow(hwnd())) {
        deleteWhenClosed_ = false;
        DestroyWindow(hwnd());
    }
}

INT_PTR Dialog::runModal(HWND owner) {
    kind_ = Kind::Modal;
    ended_ = false;
    result_ = 0;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                            dialogProc, reinterpret_cast<LPARAM>(this)))
        return ended_ ? result_ : -1;  // ended while it initialised, or never made
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    if (hwnd()) ShowWindow(hwnd(), SW_SHOW);

    MSG msg;
    while (!ended_ && hwnd()) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (preTranslateChain(msg)) continue;
        if (routeToModeless(msg)) continue;
        if (hwnd() && IsDialogMessageW(hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The owner comes back before this window goes, so that the system does not hand the
    // activation to another program meanwhile.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (hwnd()) DestroyWindow(hwnd());
    if (owner) SetActiveWindow(owner);
    return result_;
}

HWND Dialog::create(HWND parent) {
    kind_ = Kind::Page;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                              dialogProc, reinterpret_cast<LPARAM>(this));
}

HWND Dialog::createModeless(HWND owner, bool deleteWhenClosed) {
    kind_ = Kind::Modeless;
    deleteWhenClosed_ = deleteWhenClosed;
    HWND made = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                   owner, dialogProc, reinterpret_cast<LPARAM>(this));
    if (!made) {
        // No window will ever end this object for its creator.
        if (deleteWhenClosed) delete this;
        return nullptr;
    }
    modelessDialogs().push_back(made);
    ShowWindow(made, SW_SHOW);
    return made;
}

void Dialog::end(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (hwnd()) DestroyWindow(hwnd());
}

void Dialog::endUnlessPage(INT_PTR result) {
    if (kind_ != Kind::Page) end(result);
}

bool Dialog::routeToModeless(MSG& msg) {
    // A copy: a dialog may close, and leave the list, while it handles the message.
    std::vector<HWND> dialogs = modelessDialogs();
    for (HWND dialog : dialogs) {
        if (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)) continue;
        return IsDialogMessageW(dialog, &msg) != FALSE;
    }
    return false;
}

bool Dialog::preTranslateChain(MSG& msg) {
    // Only messages for this dialog or its controls and pages are its to see.
    if (!hwnd() || (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd))) return false;
    return preTranslate(msg);
}

std::wstring Dialog::itemText(int id) const {
    std::wstring text;
    DataExchange(hwnd(), true).text(id, text);
    return text;
}

void Dialog::setItemText(int id, std::wstring_view text) {
    SetDlgItemTextW(hwnd(), id, std::wstring(text).c_str());
}

void Dialog::pull() {
    DataExchange dx(hwnd(), true);
    exchange(dx);
}

void Dialog::push() {
    DataExchange dx(hwnd(), false);
    exchange(dx);
}

INT_PTR CALLBACK Dialog::dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->attachWindow(hwnd);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    const INT_PTR result =
        guarded([&] { return self->dispatch(msg, wParam, lParam); }, INT_PTR{FALSE});
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->finish();  // may delete self
    }
    return result;
}

void Dialog::finish() {
    auto& dialogs = modelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hwnd()), dialogs.end());
    detachWindow();
    ended_ = true;
    if (deleteWhenClosed_) delete this;
}

INT_PTR Dialog::dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A handler may close a dialog that frees itself: after it, only locals are touched.
    const HWND window = hwnd();
    LRESULT result = 0;
    if (!handleMessage(msg, wParam, lParam, result)) return FALSE;
    if (returnsDirectly(msg)) return static_cast<INT_PTR>(result);
    if (IsWindow(window)) SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Dialog::dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = onInitDialog();
            return true;
        case WM_COMMAND: {
            if (WindowObject::dispatchTyped(msg, wParam, lParam, result)) return true;
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) return false;
            if (id == IDOK) onOK();
            if (id == IDCANCEL) onCancel();
            return id == IDOK || id == IDCANCEL;
        }
        case WM_CLOSE:
            onClose();
            return true;
        default:
            return WindowObject::dispatchTyped(msg, wParam, lParam, result);
    }
}

}  // namespace tarnix
