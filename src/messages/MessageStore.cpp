#include "messages/MessageStore.h"

#include <algorithm>
#include <unordered_set>

#include "TextIds.h"
#include "base/Paths.h"
#include "base/Texts.h"
#include "store/DamagedFile.h"
#include "store/XmlFileLoad.h"

namespace tarnix {
namespace {

constexpr std::string_view kRoot = "MessageRecord";
constexpr std::string_view kItem = "ITEM";

// A message's date, time and title, as views into a message or into the document (valid
// until its next edit).
using KeyView = std::tuple<std::string_view, std::string_view, std::string_view>;
struct KeyViewHash {
    size_t operator()(const KeyView& key) const {
        const std::hash<std::string_view> hash;
        return hash(std::get<0>(key)) ^ (hash(std::get<1>(key)) * 31) ^ (hash(std::get<2>(key)) * 1000003);
    }
};
KeyView viewOf(const Message& m) {
    return {m.date, m.time, m.title};
}

}  // namespace

MessageStore::MessageStore() : MessageStore(programFolder()) {}

MessageStore::MessageStore(const std::filesystem::path& folder)
    : path_(folder / "MessageInfo.xml") {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (!error && size > kMaxFileBytes) {
        tooLarge_ = readOnly_ = true;
        makeNew();
        return;
    }
    switch (loadXmlFile(doc_, path_, kRoot)) {
        case XmlFileState::Loaded:
            break;
        case XmlFileState::Missing:
            makeNew();
            save();
            break;
        case XmlFileState::Damaged:
            // Whatever it holds may still matter to someone: it goes aside, not away.
            keptAside_ = keepDamagedAside(path_);
            readOnly_ = keptAside_.empty();
            makeNew();
            save();
            break;
        case XmlFileState::Unreadable:
            // A new file written now would replace the messages the old one holds.
            readOnly_ = true;
            makeNew();
            break;
    }
    loadUnread();
}

// The unread messages of the last run that the store still holds.
void MessageStore::loadUnread() {
    const std::set<Key> kept = readUnreadFile(unreadFileFor(path_));
    if (kept.empty()) return;
    for (const Message& m : messages())
        if (kept.count(keyOf(m))) unread_.insert(keyOf(m));
}

void MessageStore::makeNew() {
    startXmlFile(doc_, kRoot);
}

bool MessageStore::save() {
    return !readOnly_ && doc_.Save(path_);
}

bool MessageStore::enterRoot() {
    while (doc_.LeaveElement()) {
    }
    doc_.ResetMainPosition();
    return doc_.FindElement(kRoot) && doc_.EnterElement();
}

void MessageStore::leaveRoot() {
    while (doc_.LeaveElement()) {
    }
    doc_.ResetMainPosition();
}

Message MessageStore::readItem() const {
    return {doc_.GetAttribute("MType"), doc_.GetAttribute("MTitle"),
            doc_.GetAttribute("MDate"), doc_.GetAttribute("MTime"),
            doc_.GetAttribute("MUrl"),  doc_.GetAttribute("MContent")};
}

// At the end of the entered root.
void MessageStore::addItem(const Message& m) {
    if (!doc_.AddElement(kItem)) return;
    doc_.SetAttribute("MType", m.type);
    doc_.SetAttribute("MTitle", m.title);
    doc_.SetAttribute("MDate", m.date);
    doc_.SetAttribute("MTime", m.time);
    doc_.SetAttribute("MUrl", m.url);
    doc_.SetAttribute("MContent", m.content);
}

void MessageStore::changed() {
    if (!readOnly_) writeUnreadFile(unreadFileFor(path_), unread_);
    if (listener_) listener_();
}

bool MessageStore::append(std::string_view type, std::string_view title, std::string_view date,
                          std::string_view time, std::string_view url,
                          std::string_view content) {
    if (!enterRoot()) {
        leaveRoot();
        return false;
    }
    while (doc_.FindElement(kItem)) {
    }
    addItem({std::string(type), std::string(title), std::string(date), std::string(time),
             std::string(url), std::string(content)});
    leaveRoot();
    const bool saved = save();
    changed();
    return saved;
}

std::string MessageStore::findUrl(std::string_view date, std::string_view time) {
    std::string url, scratch;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MDate", scratch) == date && doc_.GetAttribute("MTime", scratch) == time) {
                url = doc_.GetAttribute("MUrl");
                break;
            }
        }
    }
    leaveRoot();
    return url;
}

std::vector<Message> MessageStore::messages() {
    std::vector<Message> all;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) all.push_back(readItem());
    }
    leaveRoot();
    return all;
}

std::vector<Message> MessageStore::search(std::string_view date, std::string_view typeFilter) {
    const bool anyType = typeFilter == gbText(IDS_MSG_TYPE_ALL);
    std::vector<Message> found;
    std::string scratch;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MDate", scratch) != date) continue;
            if (!anyType && doc_.GetAttribute("MType", scratch) != typeFilter) continue;
            found.push_back(readItem());
        }
    }
    leaveRoot();
    return found;
}

bool MessageStore::remove(const Message& shown) {
    bool removed = false;
    std::string scratch;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MTime", scratch) != shown.time ||
                doc_.GetAttribute("MDate", scratch) != shown.date ||
                doc_.GetAttribute("MTitle", scratch) != shown.title ||
                doc_.GetAttribute("MContent", scratch) != shown.content)
                continue;
            removed = doc_.RemoveElement();
            break;
        }
    }
    leaveRoot();
    if (!removed) return false;
    save();
    unread_.erase(keyOf(shown));
    changed();
    return true;
}

// Removes, for each of `keys`, the first ITEM known by it, in one walk of the file (a walk
// per key made a store far over its count take minutes); the caller saves.
void MessageStore::removeItems(std::set<Key> keys) {
    if (keys.empty()) return;
    if (enterRoot()) {
        while (!keys.empty() && doc_.FindElement(kItem)) {
            const auto found = keys.find(
                Key(doc_.GetAttribute("MDate"), doc_.GetAttribute("MTime"), doc_.GetAttribute("MTitle")));
            if (found == keys.end()) continue;
            unread_.erase(*found);
            keys.erase(found);
            doc_.RemoveElement();  // the walk goes on after it
        }
    }
    leaveRoot();
}

std::set<MessageStore::Key> MessageStore::storedKeys() {
    std::set<Key> keys;
    if (enterRoot()) {
        while (doc_.FindElement(kItem))
            keys.emplace(doc_.GetAttribute("MDate"), doc_.GetAttribute("MTime"),
                         doc_.GetAttribute("MTitle"));
    }
    leaveRoot();
    return keys;
}

std::vector<Message> MessageStore::merge(const std::vector<Message>& fetched) {
    std::vector<Message> added;
    // The list's messages, the first of each key, struck off as the walk finds them stored.
    // The walk copies nothing: a store of 100,000 is read in milliseconds.
    std::unordered_set<KeyView, KeyViewHash> unseen;
    std::vector<const Message*> fresh;
    for (const Message& m : fetched)
        if (unseen.insert(viewOf(m)).second) fresh.push_back(&m);
    size_t stored = 0;
    if (!fresh.empty() && enterRoot()) {
        std::string scratch[3];
        while (doc_.FindElement(kItem)) {
            ++stored;
            unseen.erase({doc_.GetAttribute("MDate", scratch[0]),
                          doc_.GetAttribute("MTime", scratch[1]),
                          doc_.GetAttribute("MTitle", scratch[2])});
        }
    }
    leaveRoot();
    std::erase_if(fresh, [&](const Message* m) { return !unseen.count(viewOf(*m)); });
    if (fresh.empty()) return added;

    // Over the count, the oldest of stored and new alike make room; a new message older
    // than all that stay is not taken, so a full store is not rewritten for it each time.
    std::set<Key> dropped, droppedStored;
    if (stored + fresh.size() > limits_.maxMessages) {
        const std::set<Key> known = storedKeys();
        const size_t total = known.size() + fresh.size();
        if (total > limits_.maxMessages) {
            std::vector<Key> all(known.begin(), known.end());
            for (const Message* m : fresh) all.push_back(keyOf(*m));
            std::sort(all.begin(), all.end());
            dropped.insert(all.begin(), all.begin() + std::ptrdiff_t(total - limits_.maxMessages));
        }
        for (const Key& key : dropped)
            if (known.count(key)) droppedStored.insert(key);
    }
    for (const Message* m : fresh)
        if (!dropped.count(keyOf(*m))) added.push_back(*m);
    if (added.empty()) return added;

    removeItems(std::move(droppedStored));
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
        }
        for (const Message& m : added) addItem(m);
    }
    leaveRoot();
    // Over the size, the oldest go until the file fits (a new message too, if it is one).
    if (doc_.GetDocText().size() > limits_.maxBytes) {
        std::set<Key> kept = storedKeys();
        while (doc_.GetDocText().size() > limits_.maxBytes && !kept.empty()) {
            removeItems({*kept.begin()});
            std::erase_if(added, [&](const Message& m) { return keyOf(m) == *kept.begin(); });
            kept.erase(kept.begin());
        }
    }
    save();
    for (const Message& m : added) unread_.insert(keyOf(m));
    changed();
    return added;
}

void MessageStore::markRead(const Message& m) {
    if (unread_.erase(keyOf(m))) changed();
}

}  // namespace tarnix
