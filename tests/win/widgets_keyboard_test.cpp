// Every dialog of the program, from its template, walked with the Tab key alone: the focus
// reaches each control a user works with, and comes back round.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/Accessibility.h"
#include "../support/WindowPump.h"
#include "test_resource.h"

namespace tarnix {
namespace {

using testing::className;
using testing::tabWalk;
using testing::workingControls;

std::vector<int> dialogTemplates() {
    std::vector<int> ids;
    EnumResourceNamesW(
        GetModuleHandleW(nullptr), RT_DIALOG,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR into) -> BOOL {
            // The program's templates, not the test windows' own.
            const auto id = reinterpret_cast<ULONG_PTR>(name);
            if (IS_INTRESOURCE(name) && (id < IDD_SAMPLE || id > IDD_TOOLKIT_PROBE))
                reinterpret_cast<std::vector<int>*>(into)->push_back(
                    static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

INT_PTR CALLBACK plainDialog(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

std::wstring describe(HWND control) {
    wchar_t text[64] = {};
    GetWindowTextW(control, text, 64);
    return className(control) + L" #" + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text +
           L"\"";
}

TEST(KeyboardWalk, TabAloneReachesEveryControlOfEveryDialog) {
    // The pages are child windows: they stand in a plain window, as in their tab control.
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                900, 700, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    const std::vector<int> ids = dialogTemplates();
    ASSERT_GT(ids.size(), 20u);
    for (int id : ids) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), host,
                                         plainDialog, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        const bool page = (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) != 0;
        // The display's focus news of the last dialog may come in late and move the focus:
        // it is set again once they are in.
        for (int i = 0; i < 2; ++i) {
            SetActiveWindow(page ? host : dialog);
            SetFocus(GetNextDlgTabItem(dialog, nullptr, FALSE));
            testing::pumpPending();
        }

        std::vector<HWND> walked = tabWalk(dialog);
        for (HWND control : workingControls(dialog)) {
            // A tab control's pages stand in it only in the running window, whose tab host
            // walks them (the main window's and the settings' tests).
            if (className(control) == WC_TABCONTROLW) continue;
            EXPECT_TRUE(testing::reached(walked, control))
                << "Tab never reaches " << ::testing::PrintToString(describe(control));
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}

}  // namespace
}  // namespace tarnix
