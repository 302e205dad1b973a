#include "shortcuts/ShortcutSettings.h"

#include <algorithm>

#include "TextIds.h"
#include "base/Texts.h"
#include "shortcuts/IniText.h"
#include "shortcuts/ShortcutRules.h"

namespace tarnix {
namespace {

constexpr std::string_view kStatus = "Status";
constexpr std::string_view kFolder = "Folder";
constexpr std::string_view kItemCount = "ItemCount";

// Texts are read into 256-byte buffers, as the panel always has.
constexpr std::size_t kReadLimit = 255;

// The number a key names, when it is written the way the panel writes numbers; 0 else.
int keyNumber(std::string_view key) {
    if (key.empty() || key.size() > 9 || key.front() == '0') return 0;
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The numbers 1..limit that keys of the section name, ascending: the profile functions
// would find them by counting up to `limit`, but a huge count must not mean a huge loop.
std::vector<int> numberedKeys(const IniText& ini, std::string_view section, int limit,
                              bool targets) {
    std::vector<int> numbers;
    for (std::string key : ini.keys(section)) {
        if (targets) {
            if (key.empty() || (key.back() != 'n' && key.back() != 'N')) continue;
            key.pop_back();
        }
        const int n = keyNumber(key);
        if (n >= 1 && n <= limit) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::string readText(const IniText& ini, std::string_view section, const std::string& key) {
    return ini.value(section, key).value_or(std::string());
}

SavedFolder loadFolder(const IniText& ini, int number) {
    const std::string section = std::to_string(number);
    SavedFolder folder;
    folder.name = truncateGb(readText(ini, kFolder, section), kReadLimit);
    const int count = ini.number(kItemCount, section, 0);
    for (int n : numberedKeys(ini, section, count, true)) {
        const std::string key = std::to_string(n);
        const std::string target = readText(ini, section, key + "n");
        // A cut path would name another file: such a shortcut is left out, as is one
        // without a target.
        if (target.empty() || target.size() > kMaxTargetBytes) continue;
        std::string name = readText(ini, section, key);
        if (name.empty()) name = target;
        folder.shortcuts.push_back({truncateGb(name, kMaxCaptionBytes), target});
    }
    return folder;
}

}  // namespace

std::filesystem::path ShortcutSettings::fileIn(const std::filesystem::path& programFolder) {
    return programFolder / "Settings.ini";
}

PanelSettings ShortcutSettings::load() const {
    IniText ini;
    ini.load(file_);  // unreadable: the defaults of a first start

    PanelSettings settings;
    settings.smallIcons = ini.number(kStatus, "IsSmallIconView", 1) != 0;
    // Folder n is folder n, whatever names are missing before it, so that the next save
    // writes each folder back under its own number. A huge count names no more folders
    // than the keys that are there.
    const int lastFolder = ini.number(kStatus, "FolderCount", 1) - 1;
    const std::vector<int> named = numberedKeys(ini, kFolder, lastFolder, false);
    const std::vector<int> counted = numberedKeys(ini, kItemCount, lastFolder, false);
    const int last = std::max(named.empty() ? 0 : named.back(),
                              counted.empty() ? 0 : counted.back());
    // A peer's folder 1 under another name moves down behind "常用软件"; a folder 1
    // without a name is "常用软件" (the panel always has it there).
    const std::string first = readText(ini, kFolder, "1");
    const std::string common = gbText(IDS_SHORTCUT_COMMON_SOFTWARE);
    if (last >= 1 && !first.empty() && first != common) settings.folders.push_back({common, {}});
    for (int n = 1; n <= last; ++n) settings.folders.push_back(loadFolder(ini, n));
    if (settings.folders.empty()) {
        settings.folders.push_back({common, {}});
    } else if (first.empty()) {
        settings.folders.front().name = common;
    }
    settings.activeFolder = std::clamp(ini.number(kStatus, "ActiveFolder", 0), 0,
                                       static_cast<int>(settings.folders.size()));
    return settings;
}

bool ShortcutSettings::writeIfMissing() const {
    std::error_code error;
    if (std::filesystem::exists(file_, error) || error) return !error;
    return save(load());
}

bool ShortcutSettings::save(const PanelSettings& settings) const {
    IniText ini;
    if (!ini.load(file_)) return false;

    const std::size_t folderCount = settings.folders.size();
    // Only shortcuts the next start can load are written, so the counts match the keys.
    std::vector<std::vector<const SavedShortcut*>> kept(folderCount);
    for (std::size_t f = 0; f < folderCount; ++f) {
        for (const SavedShortcut& s : settings.folders[f].shortcuts) {
            if (!s.target.empty() && s.target.size() <= kMaxTargetBytes) kept[f].push_back(&s);
        }
    }

    const int active = std::clamp(settings.activeFolder, 0, static_cast<int>(folderCount));
    ini.set(kStatus, "ActiveFolder", std::to_string(active));
    ini.set(kStatus, "IsSmallIconView", settings.smallIcons ? "1" : "0");
    ini.set(kStatus, "FolderCount", std::to_string(folderCount + 1));
    for (std::size_t f = 0; f < folderCount; ++f) {
        const std::string number = std::to_string(f + 1);
        ini.set(kFolder, number, truncateGb(settings.folders[f].name, kReadLimit));
        ini.set(kItemCount, number, std::to_string(kept[f].size()));
    }
    for (std::size_t f = 0; f < folderCount; ++f) {
        const std::string section = std::to_string(f + 1);
        for (std::size_t i = 0; i < kept[f].size(); ++i) {
            const SavedShortcut& s = *kept[f][i];
            const std::string key = std::to_string(i + 1);
            ini.set(section, key, s.name.empty() ? s.target : truncateGb(s.name, kReadLimit));
            ini.set(section, key + "n", s.target);
        }
    }
    return ini.save(file_);
}

PanelSettings ShortcutSettings::of(const OutlookBarModel& bar,
                                   const std::vector<SavedFolder>& beyond) {
    PanelSettings settings;
    settings.activeFolder = std::max(0, bar.openFolder());
    settings.smallIcons = bar.smallIcons();
    for (int f = 1; f < bar.folderCount(); ++f) {
        const OutlookFolder* folder = bar.folder(f);
        SavedFolder saved{folder->caption, {}};
        for (const OutlookItem& item : folder->items) {
            saved.shortcuts.push_back({item.caption, item.target});
        }
        settings.folders.push_back(std::move(saved));
    }
    settings.folders.insert(settings.folders.end(), beyond.begin(), beyond.end());
    return settings;
}

}  // namespace tarnix
