#pragma once
// ConfigStore: the saved accounts and every client setting, in config.xml beside the
// program. The document stays loaded for the life of the program; every change is
// saved at once (crash-safe), and a failed save keeps the change in memory.
//
// A config.xml that exists but cannot be read is never replaced: the store then runs on
// the defaults and writes nothing this run. One that reads but is not a config file is
// kept aside as config.xml.damaged (-2, -3, ...) before the defaults are written.
//
// All strings are GB2312 bytes. Element and attribute names are those of the file:
// Every operation may be called from any thread: one lock guards the document.
// CONFIG holds one element per setting, the entry group of saved accounts (User elements
// with NAME and PASSWORD), LastUser and SystemSet (the scheduled shutdown).

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/DialEntry.h"
#include "store/XmlDocument.h"

namespace tarnix {

class ConfigStore {
  public:
    ConfigStore();  // config.xml in programFolder()
    explicit ConfigStore(const std::filesystem::path& folder);

    // Settings. Getters of a missing element return the default shown; those marked
    // "(added)" also add the element with that default and save.
    bool GetUpdateCheck();  // UPDATESET, true (added)
    void SetUpdateCheck(bool on);
    bool GetSavePassword();  // passwordstatus, true (added)
    void SetSavePassword(bool on);
    bool GetStartUp();  // StartUp == 1, false
    void SetStartUp(bool on);
    int GetAutoConnect();  // Autoconnect, 0
    void SetAutoConnect(bool on);
    int GetAlwaysConnect();  // Alwaysconnect, 0 (added)
    void SetAlwaysConnect(bool on);
    int GetReconnect();  // Reconnect, 0 (added)
    void SetReconnect(bool on);
    bool GetMessagePopup();  // MsgPop != 0, true (added)
    void SetMessagePopup(bool on);
    std::string GetRedialIntervalText();  // "5秒", "2分钟"; "秒" when missing
    std::string GetRedialTriesText();     // as stored; empty when missing
    // The redial interval and count as numbers: the first RedialTimegrap and the first
    // RedialTrytimes after it, as decimal text (anything else, or missing, reads as 0).
    void GetRedialSettings(int& intervalSeconds, int& tries);
    void SetRedial(std::string_view intervalText, int tries);

    // Settings added in later versions, as elements older readers ignore: an absent or
    // empty element is off. Get is false when the element is absent; Set with an empty
    // value removes it, so that the file holds only what was turned on.
    bool GetOptional(std::string_view key, std::string& value);
    void SetOptional(std::string_view key, std::string_view value);

    // The flags read at construction (and kept up to date by their setters), for readers
    // that must not touch the document.
    bool IsMessagePopupCached() const { return messagePopup_; }
    bool IsReconnectCached() const { return reconnect_; }

    // Accounts. Passwords are the cipher's hex text, or empty when not remembered.
    void SaveAccount(std::string_view entry, std::string_view password, std::string_view account);
    void ListAccounts(std::string_view entry, std::vector<std::string>& names,
                      std::vector<std::string>& passwords);
    void SetLastAccount(std::string_view password, std::string_view account);
    // Appends the last account(s); false when there is no LastUser.
    bool GetLastAccount(std::vector<std::string>& names, std::vector<std::string>& passwords);
    // Removes the named accounts, and LastUser when it names one of them.
    void RemoveAccounts(std::string_view entry, const std::vector<std::string>& names);

    // Scheduled shutdown: SystemSet's SetTime and SetType.
    void SetShutdown(bool enabled, std::string_view time, std::string_view type);
    void GetShutdown(std::string& time, std::string& type);
    void ClearShutdown();

    // For edits the store has no operation for: hold Lock() while using the document,
    // and call Save() afterwards.
    XmlDocument& Document() { return doc_; }
    std::unique_lock<std::recursive_mutex> Lock() {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }
    const std::filesystem::path& FilePath() const { return path_; }
    bool Save();  // false, and nothing written, while IsReadOnlyThisRun()

    // True when config.xml could not be read at start (another program held it, a disk
    // error) or was damaged and could not be kept aside: this run never writes it.
    bool IsReadOnlyThisRun() const { return readOnly_; }
    // Tells the user once what start-up found wrong with config.xml, in a "提示" box
    // through prompt(); nothing when the file was fine. Not shown by the constructor,
    // which runs before the program has a window or knows it is the only instance.
    void ShowStartNotice(void* owner);

  private:
    bool enterConfig(bool create);
    void leave();
    bool readFirst(std::string_view key, std::string& value);
    bool readLast(std::string_view key, std::string& value);
    void write(std::string_view key, std::string_view value);
    bool readOrAdd(std::string_view key, std::string_view fallback, std::string& value);

    std::recursive_mutex mutex_;
    std::filesystem::path path_;
    XmlDocument doc_;
    bool readOnly_ = false;
    std::wstring startNotice_;  // empty when there is nothing to say
    std::atomic<bool> messagePopup_{true};
    std::atomic<bool> reconnect_{false};
};

}  // namespace tarnix
