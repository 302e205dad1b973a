#include "widgets/win/CommonControls.h"

#include <windows.h>

#include <commctrl.h>


namespace tarnix {

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                      ICC_LINK_CLASS | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace tarnix
