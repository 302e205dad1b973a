#pragma once
// The small modal notice the main window shows instead of the fault check while the
// client's link is up: the check reads the local side of a link that is down, and with
// the link up it would only report the link's own adapter. One button, "确定".

#include "widgets/win/Dialog.h"

namespace tarnix {

class LinkIsUpNotice : public Dialog {
  public:
    LinkIsUpNotice();

  protected:
    BOOL onInitDialog() override;
};

}  // namespace tarnix
