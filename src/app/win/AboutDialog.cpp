#include "app/win/AboutDialog.h"

#include "app/ProviderLinks.h"
#include "resource.h"

namespace tarnix {

AboutDialog::AboutDialog()
    : LinkDialog(IDD_ABOUT, {{IDC_ABOUT_LINK, kMakerSiteAddress}}, Background::System) {}

BOOL AboutDialog::onInitDialog() {
    setLinkText(IDC_ABOUT_LINK, kMakerSiteAddress);
    // OK has the focus, so Enter closes the dialog and does not open the browser.
    SetFocus(item(IDOK));
    return FALSE;
}

}  // namespace tarnix
