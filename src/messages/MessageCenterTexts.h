#pragma once
// What the message centre shows of a message and writes when it exports its list; the
// window itself only moves these texts in and out of its controls. Messages are GB2312 as
// the store keeps them; what the window shows is UTF-16.

#include <filesystem>
#include <string>
#include <vector>

#include "messages/MessageStore.h"

namespace tarnix {

// "发送日期：<date>\t发送时间：<time>\t消息标题：<title>"
std::wstring messageHeaderLine(const Message& m);
// Five tabs, the title, CR LF, four blanks and the content.
std::wstring messageBodyText(const Message& m);
// At most `maxBytes` of `text`, cut between two characters, with "..." after it when cut:
// a hand-edited store may hold a text far longer than any window should lay out.
std::string shortenGbText(const std::string& text, size_t maxBytes);

// The address the centre's link opens (messageOpenAddress): a web address, with
// "http://" put in front when it has no scheme; none for a file, a program or a script.
std::string messageLinkAddress(const std::string& url);

// Adds the rows (title, date, time, content; tab-separated, CR LF after each) at the end of
// `file`, which is created when missing. False, with the system's reason, when it could not
// be written.
bool exportMessageRows(const std::filesystem::path& file, const std::vector<Message>& rows,
                       std::string& error);

}  // namespace tarnix
