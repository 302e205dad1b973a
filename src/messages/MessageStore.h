#pragma once
// MessageStore: the provider's messages in MessageInfo.xml beside the program, one ITEM
// element a message under the root MessageRecord, with six attributes (MType, MTitle,
// MDate, MTime, MUrl, MContent, in that order). The document stays loaded for the life of
// the program and is saved (crash-safe) after every change.
//
// A missing file is created with the declaration and an empty root. A file that reads
// but is not a message file is kept aside as MessageInfo.xml.damaged (-2, ...) and a new
// one started; one that cannot be read at all (held by another program) is never
// replaced: the store then works in memory and writes nothing this run. So does a file
// larger than any store the program writes (one of gigabytes would stall the window while
// it is read, or exhaust its memory): it is not read and never replaced.
//
// Threads: the user-interface thread only. Every walk resets the document's position
// first, so the windows that share the store never see each other's place.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "messages/UnreadFile.h"
#include "store/XmlDocument.h"

namespace tarnix {

// One message; every text GB2312.
struct Message {
    std::string type, title, date, time, url, content;
    bool operator==(const Message&) const = default;
};

class MessageStore {
  public:
    MessageStore();  // MessageInfo.xml in programFolder()
    explicit MessageStore(const std::filesystem::path& folder);

    // Adds an ITEM after the last one and saves. Does not look for duplicates.
    bool append(std::string_view type, std::string_view title, std::string_view date,
                std::string_view time, std::string_view url, std::string_view content);
    bool append(const Message& m) {
        return append(m.type, m.title, m.date, m.time, m.url, m.content);
    }
    bool save();  // false, and nothing written, while isReadOnlyThisRun()

    // MUrl of the first ITEM with exactly this MDate and MTime; empty when none.
    std::string findUrl(std::string_view date, std::string_view time);
    // Every message, in document order.
    std::vector<Message> messages();
    // The messages of `date` whose type passes `typeFilter`: "所有消息" passes every type,
    // anything else only that exact type.
    std::vector<Message> search(std::string_view date, std::string_view typeFilter);

    // Removes the first ITEM that reads as `shown` in the four texts a list shows (title,
    // date, time, content), and saves. Two ITEMs sharing a time are told apart by the other
    // three, so the one the user picked goes and no other; false when none matches.
    bool remove(const Message& shown);

    // Appends, with one save, the messages of `fetched` the store does not have yet: a
    // message is known by its date, time and title. Returns those appended, in order.
    // Beyond the store's limits the oldest messages (by date, then time) make room, new or
    // stored; when nothing new stays, the file is not written.
    std::vector<Message> merge(const std::vector<Message>& fetched);

    // A provider's list arrives every half hour for years, and each change rewrites the
    // whole file: the store keeps at most this much.
    struct Limits {
        size_t maxMessages = 2000;
        size_t maxBytes = 8u << 20;  // of the file
    };
    void setLimits(Limits limits) { limits_ = limits; }

    // Messages that arrived and were not yet opened, kept across runs in a file beside the
    // store (MessageInfo.xml keeps the six attributes its readers know).
    size_t unreadCount() const { return unread_.size(); }
    bool isUnread(const Message& m) const { return unread_.count(keyOf(m)) != 0; }
    void markRead(const Message& m);
    // Called on the UI thread after every change of the messages or of the unread count.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    bool isReadOnlyThisRun() const { return readOnly_; }
    // The file was left unread for its size; the store is in memory only this run.
    bool isTooLargeThisRun() const { return tooLarge_; }
    static constexpr std::uintmax_t kMaxFileBytes = 64u << 20;  // eight times the default limit
    // Where a damaged file went at start-up; empty when none was kept aside.
    const std::filesystem::path& keptAside() const { return keptAside_; }

  private:
    using Key = MessageKey;
    static Key keyOf(const Message& m) { return {m.date, m.time, m.title}; }

    void makeNew();
    // Walks: enter the root (after resetting the position), step over the ITEMs, leave.
    bool enterRoot();
    void leaveRoot();
    Message readItem() const;
    void addItem(const Message& m);
    void removeItems(std::set<Key> keys);
    std::set<Key> storedKeys();
    void changed();
    void loadUnread();

    std::filesystem::path path_;
    XmlDocument doc_;
    bool readOnly_ = false;
    bool tooLarge_ = false;
    std::filesystem::path keptAside_;
    std::set<Key> unread_;
    Limits limits_;
    std::function<void()> listener_;
};

}  // namespace tarnix
