#pragma once
// The about dialog: the product's icon, version and copyright, and a link to the maker's
// web site. Run it modally over the main window.

#include "app/win/LinkDialog.h"

namespace tarnix {

class AboutDialog : public LinkDialog {
  public:
    AboutDialog();

  protected:
    BOOL onInitDialog() override;
};

}  // namespace tarnix
