// Where the "升级设置" page joins the settings dialog.
#include "settings/win/UpdatePageSlot.h"

#include "update/win/UpdateSettingsPage.h"

namespace tarnix {

OwnedSettingsPage makeUpdatePage(ConfigStore& config) {
    return ownPage(std::make_unique<UpdateSettingsPage>(config));
}

}  // namespace tarnix
