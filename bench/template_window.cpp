// The client's windows with none of its work, a second yardstick for the start-up
// benchmark: the main dialog and the login page from the client's own templates, the four
// tabs, the toolbar with its 48-pixel images and the tabs' tooltip window, shown the way
// the client shows them. What Wine charges for these windows is the least any program
// that shows them pays; what Tarnix.exe costs beyond this program is the client's own work.
#include <windows.h>

#include <commctrl.h>

#include "resource.h"

namespace {

// The property the client's main window carries ("澄远宽带拨号客户端"), by which the
// benchmark knows the window is the one it waits for.
constexpr wchar_t kProperty[] = L"\u6f84\u8fdc\u5bbd\u5e26\u62e8\u53f7\u5ba2\u6237\u7aef";
constexpr int kButtonSize = 48;

INT_PTR CALLBACK pageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

void addToolbar(HWND owner) {
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT |
                                       TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_TOP |
                                       CCS_NODIVIDER,
                                   0, 0, 0, 0, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
    const int images[] = {IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_HOT, IDB_TOOLBAR_DISABLED};
    const UINT setters[] = {TB_SETIMAGELIST, TB_SETHOTIMAGELIST, TB_SETDISABLEDIMAGELIST};
    for (int i = 0; i < 3; ++i) {
        HIMAGELIST list = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(images[i]),
                                               kButtonSize, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                               LR_CREATEDIBSECTION);
        SendMessageW(toolbar, setters[i], 0, reinterpret_cast<LPARAM>(list));
    }
    TBBUTTON buttons[4] = {};
    const int commands[] = {ID_TOOL_CONNECT, ID_TOOL_DISCONNECT, ID_TOOL_SETTINGS, ID_UPDATE};
    for (int i = 0; i < 4; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = commands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageW(toolbar, TB_ADDBUTTONS, 4, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void addTabs(HWND owner) {
    HWND tabs = GetDlgItem(owner, IDC_TABS);
    wchar_t empty[] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = empty;
    for (int i = 0; i < 4; ++i) SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LOGIN), tabs,
                                   pageProc, 0);
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_SHOWWINDOW);
    CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
}

INT_PTR CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
            addTabs(window);
            addToolbar(window);
            SetPropW(window, kProperty, reinterpret_cast<HANDLE>(1));
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_MENU_EXIT || LOWORD(wParam) == IDCANCEL) EndDialog(window, 0);
            return TRUE;
        case WM_CLOSE:
            EndDialog(window, 0);
            return TRUE;
        case WM_DESTROY:
            RemovePropW(window, kProperty);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, mainProc, 0));
}
