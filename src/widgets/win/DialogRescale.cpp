#include "widgets/win/DialogRescale.h"

namespace tarnix {
namespace {

HFONT fontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

RECT mapped(RECT r, HWND dialog) {
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Where `control` stands in `dialog`'s client area, as it is laid out: a drop-down combo box
// by its height dropped down, which is the height it was given (its window is only as high
// as its selection field).
RECT placeOf(HWND control, HWND dialog) {
    RECT r{}, dropped{};
    GetWindowRect(control, &r);
    wchar_t kind[16] = L"";
    GetClassNameW(control, kind, 16);
    if (lstrcmpiW(kind, L"ComboBox") != 0) return mapped(r, dialog);
    // Judged by the rectangle, not the answer: not every system answers nonzero.
    SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    if (dropped.bottom > dropped.top) r.bottom = r.top + (dropped.bottom - dropped.top);
    return mapped(r, dialog);
}

}  // namespace

void DialogRescale::apply(HWND dialog, Dpi from, Dpi to, bool placeControls) {
    if (!dialog || from == to) return;
    if (!known_) {
        made_ = from;
        known_ = true;
    }
    const HFONT own = fontOf(dialog);
    const HFONT before = font_ ? font_.get() : own;
    HFONT font = own;
    ScopedFont made;
    LOGFONTW look{};
    if (own && to != made_ && GetObjectW(own, sizeof(look), &look)) {
        look.lfHeight = MulDiv(look.lfHeight, to.value(), made_.value());
        made.reset(CreateFontIndirectW(&look));
        if (made) font = made.get();
    }
    auto scaled = [&](LONG v) { return MulDiv(v, to.value(), from.value()); };
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // Where it stands before the new font, which may resize it (a combo box's field).
        const RECT r = placeOf(child, dialog);
        if (before && font && fontOf(child) == before)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (!placeControls) continue;
        const int left = scaled(r.left), top = scaled(r.top);
        SetWindowPos(child, nullptr, left, top, scaled(r.right) - left, scaled(r.bottom) - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The font the controls held is freed only now that none holds it.
    font_ = std::move(made);
}

}  // namespace tarnix
