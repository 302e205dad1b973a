#include "messages/MessageStore.h"

#include <chrono>
#include <thread>

#include "base/Paths.h"
#include "messages/MessageTexts.h"
#include "store/DamagedFile.h"
#include "store/SafeFile.h"

namespace tarnix {
namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
constexpr std::string_view kRoot = "MessageRecord";
constexpr std::string_view kItem = "ITEM";

// A file another program holds is read again for a moment before the store gives up on it.
constexpr int kReadAttempts = 20;
constexpr auto kReadPause = std::chrono::milliseconds(25);

}  // namespace

MessageStore::MessageStore() : MessageStore(programFolder()) {}

MessageStore::MessageStore(const std::filesystem::path& folder)
    : path_(folder / "MessageInfo.xml") {
    switch (loadFile()) {
        case FileState::Messages:
            break;
        case FileState::Missing:
            makeNew();
            save();
            break;
        case FileState::Damaged:
            // Whatever it holds may still matter to someone: it goes aside, not away.
            keptAside_ = keepDamagedAside(path_);
            readOnly_ = keptAside_.empty();
            makeNew();
            save();
            break;
        case FileState::Unreadable:
            // A new file written now would replace the messages the old one holds.
            readOnly_ = true;
            makeNew();
            break;
    }
}

MessageStore::FileState MessageStore::loadFile() {
    for (int attempt = 1;; ++attempt) {
        std::error_code error;
        const bool exists = std::filesystem::exists(path_, error);
        if (!error && !exists) return FileState::Missing;
        if (!error && doc_.Load(path_)) {
            doc_.ResetMainPosition();
            if (doc_.FindElement(kRoot)) return FileState::Messages;
            return FileState::Damaged;
        }
        // Load fails alike for bytes that are not XML and for a file it could not read.
        std::string bytes, message;
        if (!error && readWholeFile(path_, bytes, message)) {
            if (bytes.empty()) return FileState::Missing;  // nothing in it to keep
            return FileState::Damaged;
        }
        if (attempt == kReadAttempts) return FileState::Unreadable;
        std::this_thread::sleep_for(kReadPause);
    }
}

void MessageStore::makeNew() {
    doc_.SetDocText(kDeclaration);
    doc_.AddElement(kRoot);
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
    std::string url;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MDate") == date && doc_.GetAttribute("MTime") == time) {
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
    const bool anyType = typeFilter == message_text::kAllMessages;
    std::vector<Message> found;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MDate") != date) continue;
            if (!anyType && doc_.GetAttribute("MType") != typeFilter) continue;
            found.push_back(readItem());
        }
    }
    leaveRoot();
    return found;
}

bool MessageStore::remove(const Message& shown) {
    bool removed = false;
    if (enterRoot()) {
        while (doc_.FindElement(kItem)) {
            if (doc_.GetAttribute("MTime") != shown.time || doc_.GetAttribute("MDate") != shown.date ||
                doc_.GetAttribute("MTitle") != shown.title ||
                doc_.GetAttribute("MContent") != shown.content)
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

std::vector<Message> MessageStore::merge(const std::vector<Message>& fetched) {
    std::vector<Message> added;
    if (fetched.empty()) return added;
    std::set<Key> known;
    if (enterRoot()) {
        while (doc_.FindElement(kItem))
            known.emplace(doc_.GetAttribute("MDate"), doc_.GetAttribute("MTime"),
                          doc_.GetAttribute("MTitle"));
        for (const Message& m : fetched) {
            if (!known.insert(keyOf(m)).second) continue;  // stored, or twice in the list
            addItem(m);
            added.push_back(m);
        }
    }
    leaveRoot();
    if (added.empty()) return added;
    save();
    for (const Message& m : added) unread_.insert(keyOf(m));
    changed();
    return added;
}

void MessageStore::markRead(const Message& m) {
    if (unread_.erase(keyOf(m))) changed();
}

}  // namespace tarnix
