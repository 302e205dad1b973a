#pragma once
// Loading and starting a file the program keeps for itself (config.xml, MessageInfo.xml,
// the record files, the shortcut list): one answer for a file that is missing, whole,
// damaged or that could not be read, and one declaration for every file it writes anew.

#include <filesystem>
#include <string>
#include <string_view>

#include "store/XmlDocument.h"

namespace tarnix {

// The first line of every file the program writes anew (before its CR LF).
inline constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\"?>";

enum class XmlFileState { Missing, Loaded, Damaged, Unreadable };

// Loads `file` into `doc` and finds its `root` element. A file that cannot be read (another
// program may hold it for a moment) is tried again for about half a second before it
// counts as unreadable, with the system's reason in `error` when given; an empty file
// counts as missing, as there is nothing in it to keep.
XmlFileState loadXmlFile(XmlDocument& doc, const std::filesystem::path& file,
                         std::string_view root, std::string* error = nullptr);

// Makes `doc` a new file: the declaration and an empty `root`, the cursor on the root.
void startXmlFile(XmlDocument& doc, std::string_view root);

}  // namespace tarnix
