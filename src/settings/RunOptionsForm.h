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
    // Captioned "提示". "开机启动项“Tarnix”已由另一个程序使用：" with the value's command and
    // "是否改为启动本程序？", a question; "重试间隔不在列表中，请选择重试间隔！", information.
    static constexpr std::string_view kCaption = "\xcc\xe1\xca\xbe";
    static constexpr std::string_view kOtherProgramText =
        "\xbf\xaa\xbb\xfa\xc6\xf4\xb6\xaf\xcf\xee\xa1\xb0Tarnix\xa1\xb1\xd2\xd1\xd3\xc9"
        "\xc1\xed\xd2\xbb\xb8\xf6\xb3\xcc\xd0\xf2\xca\xb9\xd3\xc3\xa3\xba";
    static constexpr std::string_view kReplaceQuestion =
        "\xca\xc7\xb7\xf1\xb8\xc4\xce\xaa\xc6\xf4\xb6\xaf\xb1\xbe\xb3\xcc\xd0\xf2"
        "\xa3\xbf";
    static constexpr std::string_view kNoIntervalText =
        "\xd6\xd8\xca\xd4\xbc\xe4\xb8\xf4\xb2\xbb\xd4\xda\xc1\xd0\xb1\xed\xd6\xd0"
        "\xa3\xac\xc7\xeb\xd1\xa1\xd4\xf1\xd6\xd8\xca\xd4\xbc\xe4\xb8\xf4\xa3\xa1";

    // What the page shows while reconnect is off.
    static constexpr int kDefaultInterval = 0;  // "5秒"
    static constexpr std::string_view kDefaultTries = "100";

    RunOptionsForm(ConfigStore& config, StartupRegistration& startup,
                   std::filesystem::path program);

    RunOptionsFields load();
    // Writes what changed; registry failures are not reported (the StartUp flag then stays
    // as it was). False when something was refused, told over `owner`:
    // - a Run value that starts another program is replaced only when the user agrees;
    //   otherwise the box is cleared and the value and StartUp stay;
    // - with reconnect ticked and no interval selected (a hand-edited interval that the list
    //   does not hold), the interval and tries are not written.
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
