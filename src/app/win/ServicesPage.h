#pragma once
// The main window's "推荐服务" page: two links to the provider's recommended services.

#include "app/win/LinkDialog.h"

namespace tarnix {

class ServicesPage : public LinkDialog {
  public:
    ServicesPage();
};

}  // namespace tarnix
