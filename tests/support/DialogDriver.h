#pragma once
// Drives a dialog the way a user would, with the messages its controls send: clicks,
// typing, choices in combo boxes and tabs; and reads back texts, states and list rows.
// driveNextDialog() reaches a modal dialog from inside its own loop.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "widgets/win/ListView.h"

namespace tarnix::testing {

class DialogDriver {
  public:
    explicit DialogDriver(HWND dialog) : dialog_(dialog) {}
    HWND hwnd() const { return dialog_; }
    HWND control(int id) const { return GetDlgItem(dialog_, id); }

    // A click on an enabled button: the button presses, toggles if it is a check box and
    // reports it. False when there is no such button or it is disabled (a user could not
    // click it either).
    bool click(int id) const {
        HWND button = control(id);
        if (!button || !IsWindowEnabled(button)) return false;
        SendMessageW(button, BM_CLICK, 0, 0);
        return true;
    }
    void type(int id, const std::wstring& text) const { SetDlgItemTextW(dialog_, id, text.c_str()); }
    std::wstring text(int id) const {
        HWND item = control(id);
        std::wstring buffer(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
        buffer.resize(static_cast<std::size_t>(GetWindowTextW(item, buffer.data(),
                                                              static_cast<int>(buffer.size()))));
        return buffer;
    }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool visible(int id) const { return IsWindowVisible(control(id)) != FALSE; }
    bool checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }

    // Selects entry `index` of a combo box and tells the dialog, as a choice with the mouse.
    void choose(int id, int index) const {
        SendMessageW(control(id), CB_SETCURSEL, index, 0);
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(id)));
    }
    // Selects tab `index` of a tab control and tells its parent, as a click on the tab.
    void chooseTab(int id, int index) const {
        HWND tabs = control(id);
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
        NMHDR header{tabs, static_cast<UINT_PTR>(id), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(dialog_, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
    }
    // Every row of a list view, cell by cell.
    std::vector<std::vector<std::wstring>> rows(int id) const {
        ListView list(control(id));
        std::vector<std::vector<std::wstring>> all;
        for (int row = 0; row < list.rowCount(); ++row) all.push_back(list.row(row));
        return all;
    }

  private:
    HWND dialog_;
};

// Runs `open`, which shows a modal dialog and returns when it closes; meanwhile, from
// inside the dialog's loop, hands the first new dialog window of this thread to `drive`,
// which must close it. False when no dialog appeared within five seconds.
inline bool driveNextDialog(const std::function<void()>& open,
                            const std::function<void(DialogDriver&)>& drive) {
    struct Watch {
        std::set<HWND> before;
        const std::function<void(DialogDriver&)>* drive;
        DWORD until;
        bool found = false, done = false;
    };
    static Watch* watch = nullptr;
    Watch state{{}, &drive, GetTickCount() + 5000};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) {
            reinterpret_cast<Watch*>(p)->before.insert(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&state));
    watch = &state;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (!watch || watch->done) return;
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM p) {
                wchar_t kind[16] = L"";
                GetClassNameW(w, kind, 16);
                if (watch->before.count(w) || !IsWindowVisible(w) || lstrcmpW(kind, L"#32770"))
                    return TRUE;
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (!found && GetTickCount() < watch->until) return;
        watch->done = true;
        KillTimer(nullptr, id);
        if (!found) return;
        watch->found = true;
        DialogDriver driver(found);
        (*watch->drive)(driver);
    });
    open();
    if (timer) KillTimer(nullptr, timer);
    watch = nullptr;
    return state.found;
}

}  // namespace tarnix::testing
