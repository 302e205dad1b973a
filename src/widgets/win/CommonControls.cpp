#include "widgets/win/CommonControls.h"

#include <windows.h>

#include <commctrl.h>

#include "widgets/win/RichEdit.h"

namespace tarnix {

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                      ICC_LINK_CLASS | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    // The message windows use rich-edit controls.
    RichEdit::loadRichEdit();
}

}  // namespace tarnix
