// Where the "升级设置" page joins the settings dialog. With a page class of the update
// subsystem this becomes, for example:
//     return ownPage(std::make_unique<UpdateSettingsPage>(config));
#include "settings/win/UpdatePageSlot.h"

namespace tarnix {

OwnedSettingsPage makeUpdatePage(ConfigStore&) {
    return {};
}

}  // namespace tarnix
