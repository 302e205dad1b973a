#pragma once
// RunOptionsForm: the run options page of the settings dialog. Start with Windows (the
// StartUp flag and the Run value), connect automatically, always keep connected, and
// redial after a drop with an interval from a fixed list and a number of tries. The page
// remembers each flag as it was loaded or last saved, so that only changed flags are
// written; the interval and tries are written on every save while reconnect stays set.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "TextIds.h"
#include "settings/StartupRegistration.h"
#include "store/ConfigStore.h"

namespace tarnix {

struct RedialInterval {
    unsigned text;  // as listed ("5秒"); the store keeps that text in GB2312
    int seconds;
};

// The retry interval list, in its order.
inline constexpr std::array<RedialInterval, 7> kRedialIntervals = {{
    {IDS_REDIAL_5_SECONDS, 5},
    {IDS_REDIAL_10_SECONDS, 10},
    {IDS_REDIAL_30_SECONDS, 30},
    {IDS_REDIAL_1_MINUTE, 60},
    {IDS_REDIAL_2_MINUTES, 120},
    {IDS_REDIAL_5_MINUTES, 300},
    {IDS_REDIAL_10_MINUTES, 600},
}};

// The page's controls.
struct RunOptionsFields {
    bool startUp = false;        // "开机启动"
    bool autoConnect = false;    // "自动连接"
    bool reconnect = false;      // "断线后重新连接"
    bool alwaysConnect = false;  // "总是保持连接"
    int intervalIndex = 0;       // into kRedialIntervals; -1 when none is selected
    std::string triesText;       // "重试次数:"

    // The interval list and the tries field are enabled while reconnect is ticked.
    bool redialEnabled() const { return reconnect; }
};

class RunOptionsForm {
  public:
    // What the page shows while reconnect is off.
    static constexpr int kDefaultInterval = 0;  // "5秒"
    static constexpr std::string_view kDefaultTries = "100";

    RunOptionsForm(ConfigStore& config, StartupRegistration& startup,
                   std::filesystem::path program);

    RunOptionsFields load();
    // Writes what changed; registry failures are not reported (the StartUp flag then stays
    // as it was). False when something was refused, told over `owner` captioned "提示":
    // - a Run value that starts another program is replaced only when the user agrees
    //   (IDS_STARTUP_OTHER_PROGRAM, the value's command, IDS_STARTUP_REPLACE: a question);
    //   otherwise the box is cleared and the value and StartUp stay;
    // - with reconnect ticked and no interval selected (a hand-edited interval that the list
    //   does not hold), the interval and tries are not written (IDS_REDIAL_NO_INTERVAL).
    bool save(RunOptionsFields& fields, void* owner = nullptr);

    // The number a tries text stands for: its leading decimal digits (none: 0), at most
    // INT_MAX.
    static int parseTries(std::string_view text);

  private:
    void saveStartUp(bool on);
    bool agreeToReplace(void* owner);

    ConfigStore& config_;
    StartupRegistration& startup_;
    std::filesystem::path program_;
    RunOptionsFields remembered_;
};

}  // namespace tarnix
