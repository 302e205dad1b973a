#pragma once
// Which stored messages were not opened yet, kept across runs in a file of its own beside
// the store, "MessageInfo.xml.unread": the store keeps the provider's six attributes, which
// its other readers know, and nothing else.
//
// One line a message, GB2312: its date, time and title, separated by tabs (a message is
// known by these three); a backslash, tab or line break in them is written \\, \t, \r, \n.

#include <filesystem>
#include <set>
#include <string>
#include <tuple>

namespace tarnix {

using MessageKey = std::tuple<std::string, std::string, std::string>;  // date, time, title

std::filesystem::path unreadFileFor(const std::filesystem::path& store);
// The keys the file holds; none when it is missing or cannot be read. Lines that are no
// key are passed over.
std::set<MessageKey> readUnreadFile(const std::filesystem::path& file);
// Replaces the file, crash-safe; false when it could not be written.
bool writeUnreadFile(const std::filesystem::path& file, const std::set<MessageKey>& keys);

}  // namespace tarnix
