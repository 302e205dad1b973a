#pragma once
// ShortcutSettings: the shortcut panel's layout in Settings.ini beside the program.
//
//   [Status]     ActiveFolder, IsSmallIconView, FolderCount (folders with "我的电脑")
//   [Folder]     1, 2, ... folder names (folder 0, the drives, is never saved)
//   [ItemCount]  1, 2, ... shortcuts in each folder
//   [1], [2] ... 1, 2, ... shortcut names (the target when the name is empty),
//                1n, 2n, ... shortcut targets
//
// Saving rewrites these keys in place and leaves every other line alone, so the keys of
// deleted folders and shortcuts stay in the file: the counts no longer reach them, and
// they are overwritten when a folder with that number is saved again. Loading never
// trusts the counts beyond the keys that are there and cuts texts to what the panel
// keeps; every folder of the file is loaded and saved back under its own number, also
// beyond the eight the panel's "添加分组" allows (a peer or a hand may have written more).

#include <filesystem>
#include <string>
#include <vector>

#include "shortcuts/OutlookBarModel.h"

namespace tarnix {

struct SavedShortcut {
    std::string name;
    std::string target;
};

struct SavedFolder {
    std::string name;
    std::vector<SavedShortcut> shortcuts;
};

struct PanelSettings {
    int activeFolder = 0;  // in the panel's numbering: 0 is "我的电脑"
    bool smallIcons = true;
    // Folders 1 and up; the first is always "常用软件".
    std::vector<SavedFolder> folders;
};

class ShortcutSettings {
  public:
    explicit ShortcutSettings(std::filesystem::path file) : file_(std::move(file)) {}
    // Settings.ini in the program's folder.
    static std::filesystem::path fileIn(const std::filesystem::path& programFolder);

    // The panel as the file describes it. When the file does not name "常用软件" as
    // folder 1 (a first start has no file at all), an empty "常用软件" comes first and
    // the file's folders follow it.
    PanelSettings load() const;
    // Writes the panel's keys; false when the file could not be written (it is then
    // unchanged). A file that exists but cannot be read is not overwritten.
    bool save(const PanelSettings& settings) const;
    // A first start's file, written when there is none: the panel is built when first
    // shown, and a peer may read the file before that. An existing file is left alone.
    bool writeIfMissing() const;

    // The settings of a bar: its folders from 1, each item's caption and target, the
    // open folder and the view; then the folders `beyond` those the bar could show.
    static PanelSettings of(const OutlookBarModel& bar,
                            const std::vector<SavedFolder>& beyond = {});

  private:
    std::filesystem::path file_;
};

}  // namespace tarnix
