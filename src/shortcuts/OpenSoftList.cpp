#include "shortcuts/OpenSoftList.h"

#include <system_error>

#include "TextIds.h"
#include "shortcuts/ShortcutRules.h"
#include "store/SafeFile.h"
#include "store/XmlDocument.h"
#include "store/XmlFileLoad.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRoot = "soft";
constexpr std::string_view kItem = "ITEM";
constexpr std::string_view kName = "softname";
constexpr std::string_view kPath = "softpath";

enum class ListFile { Missing, Usable, Damaged, Unreadable };

// Loads the file into `doc`, with the cursor on the `soft` root when there is one.
ListFile openList(const fs::path& file, XmlDocument& doc) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return ec ? ListFile::Unreadable : ListFile::Missing;
    const auto size = fs::file_size(file, ec);
    if (ec) return ListFile::Unreadable;
    if (size == 0) return ListFile::Missing;  // nothing in it to keep
    const bool wellFormed = doc.Load(file);
    doc.ResetMainPosition();
    const bool rooted = doc.FindElement(kRoot);
    if (wellFormed && rooted) return ListFile::Usable;
    // A damaged list still shows the entries before the damage; an unreadable one none.
    std::string bytes, error;
    return readWholeFile(file, bytes, error) ? ListFile::Damaged : ListFile::Unreadable;
}

// The entry the cursor is on; either order of its children is taken.
OpenSoftEntry readEntry(XmlDocument& doc) {
    OpenSoftEntry entry;
    doc.EnterElement();
    if (doc.FindElement(kName)) entry.name = doc.GetText();
    doc.ResetMainPosition();
    if (doc.FindElement(kPath)) entry.path = doc.GetText();
    doc.LeaveElement();
    return entry;
}

// The entries of the list in document order. In a damaged list the engine lifts the
// children of unended elements to the top level, so entries are looked for there too.
std::vector<OpenSoftEntry> readEntries(XmlDocument& doc) {
    std::vector<OpenSoftEntry> entries;
    auto take = [&entries](OpenSoftEntry entry) {
        if (!entry.name.empty() || !entry.path.empty()) entries.push_back(std::move(entry));
    };
    while (doc.LeaveElement()) {
    }
    doc.ResetMainPosition();
    while (doc.FindElement()) {
        const std::string tag = doc.GetTagName();
        if (tag == kItem) {
            take(readEntry(doc));
        } else if (tag == kRoot && doc.EnterElement()) {
            while (doc.FindElement(kItem)) take(readEntry(doc));
            doc.LeaveElement();
        }
    }
    return entries;
}

void addEntry(XmlDocument& doc, const OpenSoftEntry& entry) {
    doc.AddElement(kItem);
    doc.AddChildElement(kName, entry.name);
    doc.AddChildElement(kPath, entry.path);
}

// A new list holding `entries`, the cursor inside its root.
void startList(XmlDocument& doc, const std::vector<OpenSoftEntry>& entries) {
    startXmlFile(doc, kRoot);
    doc.EnterElement();
    for (const OpenSoftEntry& entry : entries) addEntry(doc, entry);
}

// Copies a damaged list beside itself, under a name no reader takes for the list.
bool keepCopyAside(const fs::path& file) {
    std::string bytes, error;
    if (!readWholeFile(file, bytes, error)) return false;
    for (int n = 1; n < 1000; ++n) {
        fs::path aside = file;
        aside += n == 1 ? ".damaged" : ".damaged-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(aside, ec) || ec) continue;
        return writeWholeFile(aside, bytes, error);
    }
    return false;
}

}  // namespace

OpenSoftList::OpenSoftList(fs::path file) : file_(std::move(file)) {}

fs::path OpenSoftList::fileIn(const fs::path& programFolder) {
    return programFolder / "data" / "opensoft.xml";
}

bool OpenSoftList::load() {
    XmlDocument doc;
    const ListFile state = openList(file_, doc);
    entries_ = state == ListFile::Usable || state == ListFile::Damaged
                   ? readEntries(doc)
                   : std::vector<OpenSoftEntry>{};
    return state == ListFile::Usable || state == ListFile::Damaged;
}

bool OpenSoftList::hasName(const std::string& name) const {
    for (const OpenSoftEntry& entry : entries_) {
        if (entry.name == name) return true;
    }
    return false;
}

OpenSoftList::Change OpenSoftList::addProgram(const std::string& path) {
    if (trimBlanks(path).empty()) return Change::NoPath;
    load();
    if (hasName(nameFromPath(path))) return Change::ProgramListed;
    return append(nameFromPath(path), path);
}

OpenSoftList::Change OpenSoftList::addWebPage(const std::string& name, const std::string& address) {
    load();
    if (hasName(name)) return Change::SiteListed;
    return append(name, address);
}

OpenSoftList::Change OpenSoftList::append(const std::string& name, const std::string& path) {
    XmlDocument doc;
    const ListFile state = openList(file_, doc);
    if (state == ListFile::Unreadable) return Change::NotSaved;
    if (state == ListFile::Usable) {
        doc.EnterElement();
        addEntry(doc, {name, path});
    } else {
        if (state == ListFile::Damaged && !keepCopyAside(file_)) return Change::NotSaved;
        std::vector<OpenSoftEntry> entries =
            state == ListFile::Damaged ? entries_ : std::vector<OpenSoftEntry>{};
        entries.push_back({name, path});
        startList(doc, entries);
        std::error_code ec;
        fs::create_directories(file_.parent_path(), ec);
    }
    const bool saved = doc.Save(file_);
    load();
    return saved ? Change::Done : Change::NotSaved;
}

OpenSoftList::Change OpenSoftList::remove(const std::string& name) {
    XmlDocument doc;
    const ListFile state = openList(file_, doc);
    if (state == ListFile::Missing) return Change::NotFound;
    if (state == ListFile::Unreadable) return Change::NotSaved;
    if (state == ListFile::Damaged) {
        load();
        if (!hasName(name)) return Change::NotFound;
        if (!keepCopyAside(file_)) return Change::NotSaved;
        std::vector<OpenSoftEntry> entries = entries_;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->name == name) {
                entries.erase(it);
                break;
            }
        }
        startList(doc, entries);
    } else {
        doc.EnterElement();
        bool found = false;
        while (!found && doc.FindElement(kItem)) {
            found = doc.FindChildElement(kName) && doc.GetChildText() == name;
        }
        if (!found) return Change::NotFound;
        doc.RemoveElement();
    }
    const bool saved = doc.Save(file_);
    load();
    return saved ? Change::Done : Change::NotSaved;
}

unsigned OpenSoftList::message(Change change) {
    switch (change) {
        case Change::Done:
        case Change::NotFound:
            return 0;
        case Change::NoPath:
            return IDS_SHORTCUT_CANNOT_USE_PATH;
        case Change::ProgramListed:
            return IDS_OPENSOFT_PROGRAM_LISTED;
        case Change::SiteListed:
            return IDS_OPENSOFT_SITE_LISTED;
        case Change::NotSaved:
            return IDS_OPENSOFT_LIST_NOT_SAVED;
    }
    return 0;
}

std::vector<OpenSoftLaunch> OpenSoftList::launches() const {
    std::vector<OpenSoftLaunch> launches;
    for (const OpenSoftEntry& entry : entries_) {
        const std::string path = trimBlanks(entry.path);
        if (path.empty()) continue;
        launches.push_back(
            {path, isWebAddress(path) ? OpenSoftShow::NoActivate : OpenSoftShow::Normal});
    }
    return launches;
}

}  // namespace tarnix
