#include "diagnostics/win/ModemAddressDialog.h"

#include <commctrl.h>

#include "diagnostics/LocalAddress.h"
#include "diagnostics_ids.h"

namespace tarnix {

ModemAddressDialog::ModemAddressDialog(std::function<std::string()> localAddress)
    : Dialog(IDD_MODEM_ADDRESS), localAddress_(std::move(localAddress)) {}

bool ModemAddressDialog::onCommand(int id, int code, HWND) {
    if (id != IDC_MODEM_AUTO || code != BN_CLICKED) return false;
    detect(isChecked(IDC_MODEM_AUTO));
    return true;
}

void ModemAddressDialog::detect(bool automatic) {
    enableItem(IDC_MODEM_ADDRESS, !automatic);
    if (!automatic) return;
    HWND field = item(IDC_MODEM_ADDRESS);
    const auto bytes = parseDottedAddress(localAddress_ ? localAddress_() : std::string());
    if (!bytes) {
        SendMessageW(field, IPM_CLEARADDRESS, 0, 0);
        return;
    }
    const auto& b = *bytes;
    SendMessageW(field, IPM_SETADDRESS, 0, MAKEIPADDRESS(b[0], b[1], b[2], b[3]));
}

}  // namespace tarnix
