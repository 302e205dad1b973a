#pragma once
// UpdateSettingsForm: the "升级设置" page's rules. The page shows the update mode
// (UPDATESET: 1 automatic, 0 manual) as one of two choices and writes it only when the
// choice differs from the one loaded or last saved.

#include "store/ConfigStore.h"

namespace tarnix {

class UpdateSettingsForm {
  public:
    static constexpr int kAutomatic = 1;  // "自动升级"
    static constexpr int kManual = 2;     // "手工升级"

    explicit UpdateSettingsForm(ConfigStore& config) : config_(config) {}

    int load();
    // Anything but kManual counts as automatic, the mode of a fresh installation.
    void save(int choice);

  private:
    ConfigStore& config_;
    int remembered_ = kAutomatic;
};

}  // namespace tarnix
