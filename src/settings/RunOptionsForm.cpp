#include "settings/RunOptionsForm.h"

#include <climits>

namespace tarnix {
namespace {

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The stored text behind the store's display text of an interval the list does not hold:
// values under a minute (and text that is no number) come back with "秒" appended, larger
// ones as whole minutes, which the number itself stands for.
std::string storedIntervalOf(ConfigStore& config, const std::string& displayText) {
    constexpr std::string_view kSeconds = "\xc3\xeb";  // 秒
    if (displayText.ends_with(kSeconds)) {
        return displayText.substr(0, displayText.size() - kSeconds.size());
    }
    int seconds = 0, tries = 0;
    config.GetRedialSettings(seconds, tries);
    return std::to_string(seconds);
}

}  // namespace

RunOptionsForm::RunOptionsForm(ConfigStore& config, StartupRegistration& startup,
                               std::filesystem::path program)
    : config_(config), startup_(startup), program_(std::move(program)) {}

int RunOptionsForm::parseTries(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t");
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

RunOptionsFields RunOptionsForm::load() {
    RunOptionsFields fields;
    fields.startUp = config_.GetStartUp();
    fields.autoConnect = config_.GetAutoConnect() != 0;
    fields.reconnect = config_.GetReconnect() != 0;
    fields.alwaysConnect = config_.GetAlwaysConnect() != 0;
    storedInterval_.clear();

    if (fields.reconnect) {
        // The store names the interval as the list does ("2分钟"); a stored value the list
        // does not hold selects nothing.
        const std::string text = config_.GetRedialIntervalText();
        fields.intervalIndex = -1;
        for (std::size_t i = 0; i < kRedialIntervals.size(); ++i) {
            if (kRedialIntervals[i].text.starts_with(text)) {
                fields.intervalIndex = static_cast<int>(i);
                break;
            }
        }
        if (fields.intervalIndex < 0) storedInterval_ = storedIntervalOf(config_, text);
        fields.triesText = config_.GetRedialTriesText();
    } else {
        fields.intervalIndex = kDefaultInterval;
        fields.triesText = std::string(kDefaultTries);
    }
    remembered_ = fields;
    return fields;
}

void RunOptionsForm::save(const RunOptionsFields& fields) {
    // A Run value that does not name this program (gone, or rewritten by another) is
    // written again while the box stays ticked.
    if (fields.startUp != remembered_.startUp ||
        (fields.startUp && startup_.query(program_) != RunValue::Ours)) {
        saveStartUp(fields.startUp);
    }
    if (fields.autoConnect != remembered_.autoConnect) {
        config_.SetAutoConnect(fields.autoConnect);
        remembered_.autoConnect = fields.autoConnect;
    }
    if (fields.alwaysConnect != remembered_.alwaysConnect) {
        config_.SetAlwaysConnect(fields.alwaysConnect);
        remembered_.alwaysConnect = fields.alwaysConnect;
    }

    bool writeRedial = false;
    if (fields.reconnect != remembered_.reconnect) {
        config_.SetReconnect(fields.reconnect);
        remembered_.reconnect = fields.reconnect;
        writeRedial = fields.reconnect;
    } else if (fields.reconnect) {
        writeRedial = fields.intervalIndex >= 0 || !blank(fields.triesText);
    }
    if (writeRedial) {
        // With no entry selected the stored interval stays: the page writes no value the
        // user has not seen.
        const bool listed = fields.intervalIndex >= 0 &&
                            fields.intervalIndex < static_cast<int>(kRedialIntervals.size());
        config_.SetRedial(listed ? std::to_string(kRedialIntervals[fields.intervalIndex].seconds)
                                 : storedInterval_,
                          parseTries(fields.triesText));
    }
}

void RunOptionsForm::saveStartUp(bool on) {
    if (on) {
        // Without the Run value the flag would say something untrue: it follows the value.
        if (!startup_.add(program_)) return;
        if (!remembered_.startUp) config_.SetStartUp(true);
        remembered_.startUp = true;
    } else {
        config_.SetStartUp(false);
        remembered_.startUp = false;
        startup_.remove();
    }
}

}  // namespace tarnix
