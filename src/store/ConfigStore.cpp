#include "store/ConfigStore.h"

#include <algorithm>
#include <cstdlib>

#include "TextIds.h"
#include "base/Paths.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "store/DamagedFile.h"
#include "store/XmlFileLoad.h"

namespace tarnix {
namespace {

constexpr std::string_view kRoot = "CONFIG";
// A file another program holds is read again for about as long as a save waits for one.

// The settings of a new config.xml, in file order.
constexpr std::pair<std::string_view, std::string_view> kDefaults[] = {
    {"UPDATESET", "1"},      {"passwordstatus", "1"},    {"StartUp", "0"},
    {"Autoconnect", "0"},    {"Alwaysconnect", "0"},     {"Reconnect", "0"},
    {"RedialTimegrap", "5"}, {"RedialTrytimes", "1000"}, {"MsgPop", "1"}};

void makeDefault(XmlDocument& doc) {
    startXmlFile(doc, kRoot);
    doc.EnterElement();
    for (const auto& [key, value] : kDefaults) doc.AddElement(key, value);
    doc.LeaveElement();
}

int toInt(const std::string& text) {
    return std::atoi(text.c_str());
}
const char* flag(bool on) {
    return on ? "1" : "0";
}

}  // namespace

ConfigStore::ConfigStore() : ConfigStore(programFolder()) {}

ConfigStore::ConfigStore(const std::filesystem::path& folder) : path_(folder / "config.xml") {
    switch (loadXmlFile(doc_, path_, kRoot)) {
        case XmlFileState::Loaded:
            break;
        case XmlFileState::Missing:
            makeDefault(doc_);
            doc_.Save(path_);
            break;
        case XmlFileState::Damaged: {
            // Its bytes may still hold the subscriber's accounts: they go aside, not away.
            const std::filesystem::path aside = keepDamagedAside(path_);
            readOnly_ = aside.empty();
            startNotice_ = readOnly_ ? text(IDS_CONFIG_DAMAGED_KEPT)
                                     : text(IDS_CONFIG_DAMAGED) + aside.filename().wstring() +
                                           text(IDS_CONFIG_DAMAGED_RESET);
            makeDefault(doc_);
            if (!readOnly_) doc_.Save(path_);
            break;
        }
        case XmlFileState::Unreadable:
            // Defaults written now would replace the accounts the file holds.
            readOnly_ = true;
            startNotice_ = text(IDS_CONFIG_UNREADABLE);
            makeDefault(doc_);
            break;
    }
    messagePopup_ = GetMessagePopup();
    reconnect_ = GetReconnect() != 0;
}

void ConfigStore::ShowStartNotice(void* owner) {
    std::wstring notice;
    {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        notice.swap(startNotice_);
    }
    if (!notice.empty()) prompt({owner, notice, text(IDS_PROMPT_CAPTION), PromptIcon::Warning});
}

bool ConfigStore::Save() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return !readOnly_ && doc_.Save(path_);
}

bool ConfigStore::enterConfig(bool create) {
    while (doc_.LeaveElement()) {
    }
    doc_.ResetMainPosition();
    if (!doc_.FindElement(kRoot) && !(create && doc_.AddElement(kRoot))) return false;
    return doc_.EnterElement();
}

void ConfigStore::leave() {
    while (doc_.LeaveElement()) {
    }
    doc_.ResetMainPosition();
}

bool ConfigStore::readFirst(std::string_view key, std::string& value) {
    bool found = enterConfig(false) && doc_.FindElement(key);
    if (found) value = doc_.GetText();
    leave();
    return found;
}

bool ConfigStore::readLast(std::string_view key, std::string& value) {
    bool found = false;
    if (enterConfig(false)) {
        while (doc_.FindElement(key)) {
            value = doc_.GetText();
            found = true;
        }
    }
    leave();
    return found;
}

void ConfigStore::write(std::string_view key, std::string_view value) {
    if (enterConfig(true)) {
        if (doc_.FindElement(key))
            doc_.SetText(value);
        else
            doc_.AddElement(key, value);  // at the end of CONFIG
    }
    leave();
    Save();
}

bool ConfigStore::readOrAdd(std::string_view key, std::string_view fallback, std::string& value) {
    if (readFirst(key, value)) return true;
    value = fallback;
    write(key, fallback);
    return false;
}

bool ConfigStore::GetUpdateCheck() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readOrAdd("UPDATESET", "1", value);
    return toInt(value) != 0;
}
void ConfigStore::SetUpdateCheck(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("UPDATESET", flag(on));
}

bool ConfigStore::GetSavePassword() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readOrAdd("passwordstatus", "1", value);
    return toInt(value) != 0;
}
void ConfigStore::SetSavePassword(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("passwordstatus", flag(on));
}

bool ConfigStore::GetStartUp() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    return readLast("StartUp", value) && toInt(value) == 1;
}
void ConfigStore::SetStartUp(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("StartUp", flag(on));
}

int ConfigStore::GetAutoConnect() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    return readLast("Autoconnect", value) ? toInt(value) : 0;
}
void ConfigStore::SetAutoConnect(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("Autoconnect", flag(on));
}

int ConfigStore::GetAlwaysConnect() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readOrAdd("Alwaysconnect", "0", value);
    return toInt(value);
}
void ConfigStore::SetAlwaysConnect(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("Alwaysconnect", flag(on));
}

int ConfigStore::GetReconnect() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readOrAdd("Reconnect", "0", value);
    return toInt(value);
}
void ConfigStore::SetReconnect(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("Reconnect", flag(on));
    reconnect_ = on;
}

bool ConfigStore::GetMessagePopup() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readOrAdd("MsgPop", "1", value);
    return toInt(value) != 0;
}
void ConfigStore::SetMessagePopup(bool on) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    write("MsgPop", flag(on));
    messagePopup_ = on;
}

std::string ConfigStore::GetRedialIntervalText() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    if (!readLast("RedialTimegrap", value)) return gbText(IDS_SECONDS);
    const int seconds = toInt(value);
    if (seconds > 59) return std::to_string(seconds / 60) + gbText(IDS_MINUTES);
    return value + gbText(IDS_SECONDS);
}

void ConfigStore::GetRedialSettings(int& intervalSeconds, int& tries) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string interval, count;
    // The count is looked for only after the interval, as the file has always been read.
    if (enterConfig(false) && doc_.FindElement("RedialTimegrap")) {
        interval = doc_.GetText();
        if (doc_.FindElement("RedialTrytimes")) count = doc_.GetText();
    }
    leave();
    intervalSeconds = toInt(interval);
    tries = toInt(count);
}

std::string ConfigStore::GetRedialTriesText() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::string value;
    readLast("RedialTrytimes", value);
    return value;
}

// Both values are stored whether or not their elements existed before.
void ConfigStore::SetRedial(std::string_view intervalText, int tries) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (enterConfig(true)) {
        const std::string triesText = std::to_string(tries);
        for (const auto& [key, value] :
             {std::pair<std::string_view, std::string_view>{"RedialTimegrap", intervalText},
              {"RedialTrytimes", triesText}}) {
            doc_.ResetMainPosition();
            if (doc_.FindElement(key))
                doc_.SetText(value);
            else
                doc_.AddElement(key, value);
        }
    }
    leave();
    Save();
}

void ConfigStore::SaveAccount(std::string_view entry, std::string_view password,
                              std::string_view account) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!enterConfig(true)) return;
    if (!doc_.FindElement(entry) && !doc_.AddElement(entry)) {
        leave();
        return;
    }
    doc_.EnterElement();
    bool found = false;
    while (!found && doc_.FindElement("User")) {
        if (doc_.GetAttribute("NAME") == account) {
            doc_.SetAttribute("PASSWORD", password);
            found = true;
        }
    }
    if (!found) {
        doc_.ResetMainPosition();
        doc_.AddElement("User");
        doc_.SetAttribute("NAME", account);
        doc_.SetAttribute("PASSWORD", password);
    }
    leave();
    Save();
}

void ConfigStore::ListAccounts(std::string_view entry, std::vector<std::string>& names,
                               std::vector<std::string>& passwords) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    names.clear();
    passwords.clear();
    if (enterConfig(false) && doc_.FindElement(entry) && doc_.EnterElement()) {
        while (doc_.FindElement("User")) {
            names.push_back(doc_.GetAttribute("NAME"));
            passwords.push_back(doc_.GetAttribute("PASSWORD"));
        }
    }
    leave();
}

void ConfigStore::SetLastAccount(std::string_view password, std::string_view account) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (enterConfig(true)) {
        if (doc_.FindElement("LastUser") || doc_.AddElement("LastUser")) {
            doc_.EnterElement();
            if (doc_.FindElement("User") || doc_.AddElement("User")) {
                doc_.SetAttribute("NAME", account);
                doc_.SetAttribute("PASSWORD", password);
            }
        }
    }
    leave();
    Save();
}

bool ConfigStore::GetLastAccount(std::vector<std::string>& names,
                                 std::vector<std::string>& passwords) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const bool found = enterConfig(false) && doc_.FindElement("LastUser");
    if (found && doc_.EnterElement()) {
        while (doc_.FindElement("User")) {
            names.push_back(doc_.GetAttribute("NAME"));
            passwords.push_back(doc_.GetAttribute("PASSWORD"));
        }
    }
    leave();
    return found;
}

void ConfigStore::RemoveAccounts(std::string_view entry, const std::vector<std::string>& names) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto listed = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (enterConfig(false)) {
        if (doc_.FindElement(entry) && doc_.EnterElement()) {
            while (doc_.FindElement("User"))
                if (listed(doc_.GetAttribute("NAME"))) doc_.RemoveElement();
            doc_.LeaveElement();
        }
        doc_.ResetMainPosition();
        // LastUser may hold more than one User (the login page shows the last): any of
        // them naming a removed account takes the whole element with it.
        if (doc_.FindElement("LastUser")) {
            bool names = false;
            while (!names && doc_.FindChildElement("User"))
                names = listed(doc_.GetChildAttribute("NAME"));
            if (names) doc_.RemoveElement();
        }
    }
    leave();
    Save();
}

void ConfigStore::SetShutdown(bool enabled, std::string_view time, std::string_view type) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (enterConfig(true)) {
        const bool had = doc_.FindElement("SystemSet");
        if (had) doc_.RemoveElement();  // main: the element before it, or none
        if (enabled) {
            // In the old place: after its predecessor, or first when it had none.
            const bool added = had && !doc_.GetTagName().empty() ? doc_.AddElement("SystemSet")
                               : had                             ? doc_.InsertElement("SystemSet")
                                                                 : doc_.AddElement("SystemSet");
            if (added) {
                doc_.SetAttribute("SetTime", time);
                doc_.SetAttribute("SetType", type);
            }
        }
    }
    leave();
    Save();
}

void ConfigStore::GetShutdown(std::string& time, std::string& type) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    time.clear();
    type.clear();
    if (enterConfig(false) && doc_.FindElement("SystemSet")) {
        time = doc_.GetAttribute("SetTime");
        type = doc_.GetAttribute("SetType");
    }
    leave();
}

bool ConfigStore::GetOptional(std::string_view key, std::string& value) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return readFirst(key, value);
}

void ConfigStore::SetOptional(std::string_view key, std::string_view value) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!value.empty()) {
        write(key, value);
        return;
    }
    std::string old;
    if (!readFirst(key, old)) return;  // nothing to remove: the file stays as it is
    if (enterConfig(false) && doc_.FindElement(key)) doc_.RemoveElement();
    leave();
    Save();
}

void ConfigStore::ClearShutdown() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (enterConfig(false) && doc_.FindElement("SystemSet")) doc_.RemoveElement();
    leave();
    Save();
}

}  // namespace tarnix
