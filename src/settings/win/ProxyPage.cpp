#include "settings/win/ProxyPage.h"

#include "base/CodePage.h"
#include "settings/win/PageChange.h"
#include "settings_ids.h"
#include "widgets/win/Pickers.h"

namespace tarnix {
namespace {

constexpr int kPortDigits = 5;

}  // namespace

ProxyPage::ProxyPage(ConnectionProxy& proxy) : Dialog(IDD_SETTINGS_PROXY), form_(proxy) {}

BOOL ProxyPage::onInitDialog() {
    SendDlgItemMessageW(hwnd(), IDC_PROXY_PORT, EM_SETLIMITTEXT, kPortDigits, 0);
    // A failed query is told over the dialog, which is the page's top-level window.
    show(form_.load(GetAncestor(hwnd(), GA_ROOT)));
    return TRUE;
}

void ProxyPage::show(const ProxyFields& fields) {
    FillingControls filling(filling_);
    setChecked(IDC_PROXY_USE, fields.useProxy);
    IpAddressControl address(hwnd(), IDC_PROXY_ADDRESS);
    if (fields.address)
        address.setAddress(*fields.address);
    else
        address.clear();
    setItemText(IDC_PROXY_PORT, gbToWide(fields.port));
    enableItem(IDC_PROXY_ADDRESS, fields.fieldsEnabled());
    enableItem(IDC_PROXY_PORT, fields.fieldsEnabled());
}

ProxyFields ProxyPage::read() const {
    ProxyFields fields;
    fields.useProxy = isChecked(IDC_PROXY_USE);
    fields.address = IpAddressControl(hwnd(), IDC_PROXY_ADDRESS).address();
    fields.port = wideToGb(itemText(IDC_PROXY_PORT));
    return fields;
}

bool ProxyPage::onCommand(int id, int code, HWND) {
    if (id == IDC_PROXY_USE && code == BN_CLICKED) {
        ProxyFields fields = read();
        ProxyForm::boxClicked(fields);
        show(fields);
    } else if (!((id == IDC_PROXY_PORT || id == IDC_PROXY_ADDRESS) && code == EN_CHANGE)) {
        return false;
    }
    if (!filling_) tellSettingsChanged(hwnd());
    return true;
}

bool ProxyPage::save(void* owner) {
    return form_.save(read(), owner);
}

}  // namespace tarnix
