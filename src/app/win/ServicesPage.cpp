#include "app/win/ServicesPage.h"

#include "app/ProviderLinks.h"
#include "resource.h"

namespace tarnix {

ServicesPage::ServicesPage()
    : LinkDialog(IDD_PAGE_SERVICES,
                 {{IDC_SITE_GUIDE_LINK, kSiteGuideAddress}, {IDC_SOFTWARE_LINK, kSoftwareAddress}},
                 Background::Light) {}

}  // namespace tarnix
