#include "settings/RunOptionsForm.h"

#include <climits>

#include "base/Prompt.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
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

    if (fields.reconnect) {
        // The store names the interval as the list does ("2分钟"); a stored value the list
        // does not hold selects nothing.
        const std::string text = config_.GetRedialIntervalText();
        fields.intervalIndex = -1;
        for (std::size_t i = 0; i < kRedialIntervals.size(); ++i) {
            if (gbText(kRedialIntervals[i].text).starts_with(text)) {
                fields.intervalIndex = static_cast<int>(i);
                break;
            }
        }
        fields.triesText = config_.GetRedialTriesText();
    } else {
        fields.intervalIndex = kDefaultInterval;
        fields.triesText = std::string(kDefaultTries);
    }
    remembered_ = fields;
    return fields;
}

bool RunOptionsForm::save(RunOptionsFields& fields, void* owner) {
    bool saved = true;
    const bool startUpChanged = fields.startUp != remembered_.startUp;
    if (fields.startUp) {
        // A Run value that does not name this program (gone, or rewritten by another) is
        // written again while the box stays ticked; another program's only with consent.
        const RunValue value = startup_.query(program_);
        if (startUpChanged || value != RunValue::Ours) {
            if (value == RunValue::Other && !agreeToReplace(owner)) {
                fields.startUp = false;
                saved = false;
            } else {
                saveStartUp(true);
            }
        }
    } else if (startUpChanged) {
        saveStartUp(false);
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
        const bool listed = fields.intervalIndex >= 0 &&
                            fields.intervalIndex < static_cast<int>(kRedialIntervals.size());
        if (listed) {
            config_.SetRedial(std::to_string(kRedialIntervals[fields.intervalIndex].seconds),
                              parseTries(fields.triesText));
        } else {
            // The stored interval stays until the user picks one the list holds.
            prompt({owner, text(IDS_REDIAL_NO_INTERVAL), text(IDS_PROMPT_CAPTION),
                    PromptIcon::Information});
            saved = false;
        }
    }
    return saved;
}

bool RunOptionsForm::agreeToReplace(void* owner) {
    PromptRequest request;
    request.owner = owner;
    request.text = text(IDS_STARTUP_OTHER_PROGRAM) + L"\r\n" + startup_.data().wstring() +
                   L"\r\n" + text(IDS_STARTUP_REPLACE);
    request.caption = text(IDS_PROMPT_CAPTION);
    request.icon = PromptIcon::Question;
    request.buttons = PromptButtons::YesNo;
    return prompt(request) == kAnswerYes;
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
        // Another program's value under the name is not ours to remove.
        if (startup_.query(program_) != RunValue::Other) startup_.remove();
    }
}

}  // namespace tarnix
