#include "diagnostics/win/LinkIsUpNotice.h"

#include "base/Texts.h"
#include "diagnostics_ids.h"

namespace tarnix {

LinkIsUpNotice::LinkIsUpNotice() : Dialog(IDD_LINK_IS_UP) {}

BOOL LinkIsUpNotice::onInitDialog() {
    SetWindowTextW(hwnd(), text(IDS_PROMPT_CAPTION).c_str());
    SetDlgItemTextW(hwnd(), IDC_LINK_IS_UP_TEXT, text(IDS_LINK_IS_UP).c_str());
    // The system's information icon, shared: not the dialog's to free.
    SendDlgItemMessageW(hwnd(), IDC_LINK_IS_UP_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
    return TRUE;  // the focus on "确定", so Enter or Space closes it
}

}  // namespace tarnix
