#pragma once
// The cable-modem address dialog of the fault check: the modem's address, typed or, with
// automatic detection ticked, the machine's own address as its host name resolves. The
// values are not kept and the check does not use them.

#include <functional>
#include <string>

#include "widgets/win/Dialog.h"

namespace tarnix {

class ModemAddressDialog : public Dialog {
  public:
    // `localAddress` gives the dotted address detection fills in (empty: none found).
    explicit ModemAddressDialog(std::function<std::string()> localAddress);

  protected:
    bool onCommand(int id, int code, HWND control) override;

  private:
    void detect(bool automatic);

    std::function<std::string()> localAddress_;
};

}  // namespace tarnix
