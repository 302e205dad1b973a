#include "messages/MessageCenterTexts.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "TextIds.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "messages/MessageList.h"

namespace tarnix {

std::wstring messageHeaderLine(const Message& m) {
    return text(IDS_MSG_HEADER_DATE) + gbToWide(m.date) + text(IDS_MSG_HEADER_TIME) +
           gbToWide(m.time) + text(IDS_MSG_HEADER_TITLE) + gbToWide(m.title);
}

std::wstring messageBodyText(const Message& m) {
    return gbToWide("\t\t\t\t\t" + m.title + "\r\n" + "    " + m.content);
}

std::string shortenGbText(const std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    // A GB2312 character is two bytes, the first with the high bit set.
    size_t end = 0;
    while (end < maxBytes) {
        const size_t step = (static_cast<unsigned char>(text[end]) & 0x80) ? 2 : 1;
        if (end + step > maxBytes) break;
        end += step;
    }
    return text.substr(0, end) + "...";
}

std::string messageLinkAddress(const std::string& url) {
    return messageOpenAddress(url);
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
