#include "messages/MessageCentreTexts.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "messages/MessageList.h"
#include "messages/MessageTexts.h"

namespace tarnix {

std::string messageHeaderLine(const Message& m) {
    std::string line(message_text::kHeaderDate);
    line += m.date;
    line += message_text::kHeaderTime;
    line += m.time;
    line += message_text::kHeaderTitle;
    line += m.title;
    return line;
}

std::string messageBodyText(const Message& m) {
    return "\t\t\t\t\t" + m.title + "\r\n" + "    " + m.content;
}

std::string messageLinkAddress(const std::string& url) {
    return isMessageAddress(url) ? url : std::string();
}

bool exportMessageRows(const std::filesystem::path& file, const std::vector<Message>& rows,
                       std::string& error) {
    // Added at the end: an export never destroys what the chosen file already holds.
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) {
        error = std::generic_category().message(errno ? errno : EACCES);
        return false;
    }
    for (const Message& m : rows)
        out << m.title << '\t' << m.date << '\t' << m.time << '\t' << m.content << "\r\n";
    out.flush();
    if (!out) {
        error = std::generic_category().message(errno ? errno : EIO);
        return false;
    }
    return true;
}

}  // namespace tarnix
