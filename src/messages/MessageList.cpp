#include "messages/MessageList.h"

#include <algorithm>
#include <cctype>

#include "base/AsciiText.h"
#include "base/CodePage.h"
#include "store/XmlDocument.h"

namespace tarnix {
namespace {

// The declaration's encoding names UTF-8.
bool declaresUtf8(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return true;
    if (bytes.substr(0, 5) != "<?xml") return false;
    const size_t end = bytes.find("?>");
    if (end == std::string_view::npos) return false;
    const std::string declaration = lowerAscii(bytes.substr(0, end));
    return declaration.find("utf-8") != std::string::npos ||
           declaration.find("utf8") != std::string::npos;
}

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return c >= '0' && c <= '9'; });
}

bool isDate(std::string_view d) {
    return d.size() == 10 && d[4] == '-' && d[7] == '-' && isDigits(d.substr(0, 4)) &&
           isDigits(d.substr(5, 2)) && isDigits(d.substr(8, 2));
}

// "HH:mm:ss" or "HH:mm", the forms the store's readers compare as text.
bool isTime(std::string_view t) {
    if (t.empty() || t.size() > 8) return false;
    return std::all_of(t.begin(), t.end(),
                       [](unsigned char c) { return (c >= '0' && c <= '9') || c == ':'; }) &&
           t.front() != ':';
}

// A web address written without its scheme, as people write them: a host with a dot,
// of letters, digits, dots and dashes (a port may follow), that starts with "www." or
// is followed by a path. "notepad.exe", "C:\\x", "mailto:x" and "javascript:x" are none.
bool isSchemeLessWebAddress(std::string_view url) {
    const std::string_view host = url.substr(0, url.find_first_of("/?#:"));
    if (host.empty() || host.front() == '.' || host.front() == '-' ||
        host.find('.') == std::string_view::npos)
        return false;
    if (!std::all_of(host.begin(), host.end(), [](unsigned char c) {
            return std::isalnum(c) || c == '.' || c == '-';
        }))
        return false;
    return startsWithNoCase(url, "www.") || url.find('/') != std::string_view::npos;
}

}  // namespace

std::string messageOpenAddress(std::string_view url) {
    while (!url.empty() && (url.front() == ' ' || url.front() == '\t')) url.remove_prefix(1);
    while (!url.empty() && (url.back() == ' ' || url.back() == '\t')) url.remove_suffix(1);
    std::string address;
    if (startsWithNoCase(url, "http://") || startsWithNoCase(url, "https://"))
        address = url;
    else if (isSchemeLessWebAddress(url))
        address = "http://" + std::string(url);  // as the shortcut panel stores them
    else
        return {};
    // The host stays as it is (it must be ASCII); the rest is sent as a browser sends it:
    // UTF-8, each byte beyond ASCII and each blank percent-encoded.
    const size_t hostStart = address.find("//") + 2;
    const size_t hostEnd = std::min(address.find_first_of("/?#", hostStart), address.size());
    std::string open = address.substr(0, hostEnd);
    const std::string_view rest = std::string_view(address).substr(hostEnd);
    const bool ascii = std::all_of(rest.begin(), rest.end(),
                                   [](unsigned char c) { return c < 0x80; });
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : ascii ? std::string(rest) : gbToUtf8(rest)) {
        if (c >= 0x80 || c == ' ') {
            open += '%';
            open += kHex[c >> 4];
            open += kHex[c & 0x0F];
        } else {
            open += static_cast<char>(c);
        }
    }
    return isMessageAddress(open) ? open : std::string();
}

bool isMessageAddress(std::string_view address) {
    if (!startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://"))
        return false;
    const size_t hostStart = address.find("//") + 2;
    if (hostStart >= address.size()) return false;
    return std::none_of(address.begin(), address.end(), [](unsigned char c) {
        return c <= ' ' || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\';
    });
}

std::optional<std::vector<Message>> parseMessageList(std::string_view bytes,
                                                     const MessageListLimits& limits) {
    if (bytes.empty() || bytes.size() > limits.maxBytes) return std::nullopt;
    XmlDocument doc;
    bool wellFormed = false;
    if (declaresUtf8(bytes)) {
        std::string_view body = bytes;
        if (body.starts_with(kUtf8Bom)) body.remove_prefix(kUtf8Bom.size());
        wellFormed = doc.SetDocText(utf8ToGb(body));
    } else {
        wellFormed = doc.SetDocText(bytes);
    }
    doc.ResetMainPosition();
    if (!wellFormed || !doc.FindElement("MessageRecord") || !doc.EnterElement())
        return std::nullopt;

    std::vector<Message> list;
    while (list.size() < limits.maxItems && doc.FindElement("ITEM")) {
        Message m{doc.GetAttribute("MType"), doc.GetAttribute("MTitle"),
                  doc.GetAttribute("MDate"), doc.GetAttribute("MTime"),
                  doc.GetAttribute("MUrl"),  doc.GetAttribute("MContent")};
        if (m.title.empty() || m.title.size() > limits.maxTitle ||
            m.type.size() > limits.maxType || m.content.size() > limits.maxContent ||
            !isDate(m.date) || !isTime(m.time))
            continue;
        // Kept in the form it opens in ("http://" added, UTF-8 percent form).
        m.url = m.url.size() > limits.maxUrl ? std::string() : messageOpenAddress(m.url);
        list.push_back(std::move(m));
    }
    return list;
}

}  // namespace tarnix
