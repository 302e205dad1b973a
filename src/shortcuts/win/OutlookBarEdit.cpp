// Captions of the outlook bar edited in place: an edit control over the caption that
// grows with its text; Enter or a click elsewhere keeps the text, Escape drops it.
#include <algorithm>
#include <utility>

#include "shortcuts/win/OutlookBarCtrl.h"
#include "base/CodePage.h"

namespace tarnix {

bool OutlookBarCtrl::onCommand(int, int code, HWND control) {
    // The edit lost the focus: the editing ends once the focus has moved on.
    if (editor_ && control == editor_.get() && code == EN_KILLFOCUS) post([this] { finishEditing(); });
    return true;
}

void OutlookBarCtrl::editCaptionUnderRightClick() {
    if (rightClick_.kind == OutlookHit::Header) editFolderCaption(rightClick_.index);
    if (rightClick_.kind == OutlookHit::Item) editItemCaption(rightClick_.index);
}

HWND OutlookBarCtrl::editFolderCaption(int folder) {
    if (folder < 0 || folder >= model_.folderCount()) return nullptr;
    editing_ = {OutlookHit::Header, folder};
    return startEditor(layout().folderEditBox(folder), ES_CENTER | ES_AUTOHSCROLL,
                       model_.folderCaption(folder));
}

HWND OutlookBarCtrl::editItemCaption(int item) {
    if (item < 0 || item >= model_.itemCount()) return nullptr;
    editing_ = {OutlookHit::Item, item};
    const DWORD style = model_.smallIcons() ? ES_AUTOHSCROLL : ES_CENTER | ES_MULTILINE;
    return startEditor(layout().itemEditBox(item), style, model_.itemCaption(item));
}

HWND OutlookBarCtrl::startEditor(const Rect& box, DWORD style, const std::string& text) {
    if (!hwnd()) return nullptr;
    if (editor_) finishEditing();
    editCancelled_ = false;
    const DWORD exStyle = editing_.kind == OutlookHit::Header ? WS_EX_CLIENTEDGE : 0;
    editor_.reset(
        CreateWindowExW(exStyle, L"EDIT", gbToWide(text).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_BORDER | style, box.left, box.top, box.width(),
                        box.height(), hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr));
    const HWND editor = editor_.get();
    if (!editor) return nullptr;
    SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), FALSE);
    SetWindowSubclass(editor, editorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(editor, EM_SETSEL, 0, -1);
    SetFocus(editor);
    return editor;
}

LRESULT CALLBACK OutlookBarCtrl::editorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR selfPointer) {
    auto* self = reinterpret_cast<OutlookBarCtrl*>(selfPointer);
    try {
        if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
        if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            self->editCancelled_ = wParam == VK_ESCAPE;
            SetFocus(self->hwnd());
            // The lost focus ends the editing; so does this, should the edit not have had it.
            self->post([self] { self->finishEditing(); });
            return 0;
        }
        if (msg == WM_CHAR && (wParam == L'\r' || wParam == 27)) return 0;  // no beep
        if (msg == WM_CHAR) {
            // The edit grows with its text, up to the control's width.
            LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
            WindowDC dc(hwnd);
            SelectGuard font(dc.get(), guiFont());
            const int length = GetWindowTextLengthW(hwnd);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            GetWindowTextW(hwnd, text.data(), length + 1);
            SIZE size{};
            GetTextExtentPoint32W(dc.get(), text.c_str(), length, &size);
            RECT r, client;
            GetWindowRect(hwnd, &r);
            MapWindowPoints(nullptr, self->hwnd(), reinterpret_cast<POINT*>(&r), 2);
            GetClientRect(self->hwnd(), &client);
            const int wanted = std::min<int>(size.cx + 12, client.right - r.left);
            if (wanted > r.right - r.left) {
                SetWindowPos(hwnd, nullptr, 0, 0, wanted, r.bottom - r.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return result;
        }
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void OutlookBarCtrl::finishEditing() {
    if (!editor_) return;
    ScopedWindow editor = std::move(editor_);
    const int length = GetWindowTextLengthW(editor.get());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(editor.get(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    RemoveWindowSubclass(editor.get(), editorProc, 0);
    editor.reset();  // gone before the bar draws the new caption
    if (editCancelled_) return;
    // The model leaves empty texts unreported.
    const std::string gb = wideToGb(text);
    if (editing_.kind == OutlookHit::Header) model_.editFolderCaption(editing_.index, gb);
    if (editing_.kind == OutlookHit::Item) model_.editItemCaption(editing_.index, gb);
    redraw();
}

}  // namespace tarnix
