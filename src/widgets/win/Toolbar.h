#pragma once
// A toolbar of image buttons.

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "widgets/win/Control.h"

namespace tarnix {

class Toolbar : public Control {
  public:
    using Control::Control;

    // Before the first button: the button structure this program was built with, and the
    // size of the buttons' images.
    void prepare(int imageWidth, int imageHeight) const {
        send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
        send(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageWidth, imageHeight));
    }
    bool addButtons(const std::vector<TBBUTTON>& buttons) const {
        return send(TB_ADDBUTTONSW, buttons.size(), buttons.data()) != FALSE;
    }
    // The lists stay the caller's; a null list leaves the toolbar without those images.
    void setImageLists(HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled) const {
        send(TB_SETIMAGELIST, 0, normal);
        send(TB_SETHOTIMAGELIST, 0, hot);
        send(TB_SETDISABLEDIMAGELIST, 0, disabled);
    }
    void enableButton(int command, bool enabled) const {
        send(TB_ENABLEBUTTON, command, MAKELONG(enabled, 0));
    }
    // Fits the toolbar to its parent's width and its buttons' height.
    void autoSize() const { send(TB_AUTOSIZE); }
};

}  // namespace tarnix
