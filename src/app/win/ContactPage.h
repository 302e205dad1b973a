#pragma once
// The main window's "宽带服务" page: the provider's slogan and name and its service mailbox,
// which opens the user's mail program.

#include "app/win/LinkDialog.h"

namespace tarnix {

class ContactPage : public LinkDialog {
  public:
    ContactPage();

  protected:
    BOOL onInitDialog() override;
};

}  // namespace tarnix
