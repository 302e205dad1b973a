#pragma once
// OpenSoftList: the programs and web pages opened once the link is up, kept in
// data\opensoft.xml beside the program:
//
//   <?xml version="1.0" encoding="GB2312"?>
//   <soft>
//   <ITEM><softname>name</softname><softpath>program or address</softpath></ITEM>
//   </soft>
//
// Every change is saved at once, crash-safe, through the XML engine, which keeps every
// byte it did not change. A file that is not such a list (damaged, or another document)
// is never edited in place: before the first change it is kept aside as
// opensoft.xml.damaged and a new list starts with the entries that could be read.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

struct OpenSoftEntry {
    std::string name;  // softname
    std::string path;  // softpath
};

// How an entry is shown when it is opened.
enum class OpenSoftShow {
    Normal,      // programs: shown normally (SW_SHOWNORMAL)
    NoActivate,  // web pages: shown without taking the focus from the user (SW_SHOWNA)
};

struct OpenSoftLaunch {
    std::string path;
    OpenSoftShow show = OpenSoftShow::Normal;
};

class OpenSoftList {
  public:
    // The outcome of a change; message() gives the id of its text for a "提示" box, 0 for
    // Done.
    enum class Change { Done, NoPath, ProgramListed, SiteListed, NotFound, NotSaved };

    explicit OpenSoftList(std::filesystem::path file);
    // data\opensoft.xml in the program's folder (never the current directory).
    static std::filesystem::path fileIn(const std::filesystem::path& programFolder);

    // Reads the file; false when it is missing or cannot be read (no entries then).
    // A damaged file gives the entries the engine could make out; an ITEM with neither
    // name nor path is no entry.
    bool load();
    const std::vector<OpenSoftEntry>& entries() const { return entries_; }

    // "增加程序": the entry is named after the path's last part (the whole path for a
    // drive). Refused for an empty path and when an entry of that name exists.
    Change addProgram(const std::string& path);
    // "增加网页", with the name and address checkWebPage accepted: refused when an entry
    // of that name exists.
    Change addWebPage(const std::string& name, const std::string& address);
    // "删除": removes the first entry of that name.
    Change remove(const std::string& name);

    static unsigned message(Change change);

    // What the link-up opens, in file order: entries with a path, web addresses without
    // taking the focus.
    std::vector<OpenSoftLaunch> launches() const;

  private:
    bool hasName(const std::string& name) const;
    Change append(const std::string& name, const std::string& path);

    std::filesystem::path file_;
    std::vector<OpenSoftEntry> entries_;
};

}  // namespace tarnix
