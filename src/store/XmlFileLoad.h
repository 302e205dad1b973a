#pragma once
// Loading a file the program keeps for itself (config.xml, MessageInfo.xml): one answer for
// a file that is missing, whole, damaged or that could not be read.

#include <filesystem>
#include <string_view>

#include "store/XmlDocument.h"

namespace tarnix {

enum class XmlFileState { Missing, Loaded, Damaged, Unreadable };

// Loads `file` into `doc` and finds its `root` element. A file that cannot be read (another
// program may hold it for a moment) is tried again for about half a second before it
// counts as unreadable; an empty file counts as missing, as there is nothing in it to keep.
XmlFileState loadXmlFile(XmlDocument& doc, const std::filesystem::path& file,
                         std::string_view root);

}  // namespace tarnix
