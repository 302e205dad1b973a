#include "app/win/ContactPage.h"

#include "app/ProviderLinks.h"
#include "resource.h"

namespace tarnix {

ContactPage::ContactPage()
    : LinkDialog(IDD_PAGE_CONTACT, {{IDC_CONTACT_MAIL, std::string("mailto:") + kServiceMailbox}},
                 Background::Light) {}

BOOL ContactPage::onInitDialog() {
    setLinkText(IDC_CONTACT_MAIL, kServiceMailbox);
    return TRUE;
}

}  // namespace tarnix
