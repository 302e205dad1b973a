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

#include "settings/StartupRegistration.h"
#include "store/ConfigStore.h"

namespace tarnix {

struct RedialInterval {
    std::string_view text;  // as listed, GB2312
    int seconds;
};

// The retry interval list, in its order.
inline constexpr std::array<RedialInterval, 7> kRedialIntervals = {{
    {"5\xc3\xeb", 5},             // 5秒
    {"10\xc3\xeb", 10},           // 10秒
    {"30\xc3\xeb", 30},           // 30秒
    {"1\xb7\xd6\xd6\xd3", 60},    // 1分钟
    {"2\xb7\xd6\xd6\xd3", 120},   // 2分钟
    {"5\xb7\xd6\xd6\xd3", 300},   // 5分钟
    {"10\xb7\xd6\xd6\xd3", 600},  // 10分钟
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
    // Writes what changed. Nothing is refused; registry failures are not reported (the
    // StartUp flag then stays as it was).
    void save(const RunOptionsFields& fields);

    // The number a tries text stands for: its leading decimal digits (none: 0), at most
    // INT_MAX.
    static int parseTries(std::string_view text);

  private:
    void saveStartUp(bool on);

    ConfigStore& config_;
    StartupRegistration& startup_;
    std::filesystem::path program_;
    RunOptionsFields remembered_;
    std::string storedInterval_;  // kept when the stored interval is not in the list
};

}  // namespace tarnix
