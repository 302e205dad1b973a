#include "settings/ProxyForm.h"

#include <algorithm>

#include "TextIds.h"
#include "base/AsciiText.h"
#include "base/Prompt.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text) {
    const auto begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}


std::optional<Ipv4Address> parseIpv4(std::string_view text) {
    Ipv4Address address{};
    for (int i = 0; i < 4; ++i) {
        const auto dot = i < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos) return std::nullopt;
        const std::string_view part = text.substr(0, dot);
        if (!allDigits(part) || part.size() > 3) return std::nullopt;
        const int value = std::stoi(std::string(part));
        if (value > 255) return std::nullopt;
        address[i] = static_cast<std::uint8_t>(value);
        text = i < 3 ? text.substr(dot + 1) : std::string_view{};
    }
    return address;
}

// The server of a list's entry for http, else its entry for every protocol, else its
// first. Entries are separated by ";" or blanks, as the system writes them.
std::string_view pickServer(std::string_view list) {
    std::string_view http, every, first;
    std::size_t at = 0;
    while (at < list.size()) {
        const auto end = std::min(list.find_first_of("; \t", at), list.size());
        const std::string_view entry = list.substr(at, end - at);
        at = end + 1;
        if (entry.empty()) continue;
        const auto equals = entry.find('=');
        const std::string_view server =
            equals == std::string_view::npos ? entry : entry.substr(equals + 1);
        if (first.empty()) first = server;
        if (equals == std::string_view::npos) {
            if (every.empty()) every = server;
        } else if (http.empty() && equals == 4 && startsWithNoCase(entry, "http")) {
            http = server;
        }
    }
    return !http.empty() ? http : !every.empty() ? every : first;
}

// The same entry as the page means it: the address and port count only while the box is
// ticked, and the port's blanks never.
bool sameEntry(const ProxyFields& a, const ProxyFields& b) {
    if (a.useProxy != b.useProxy) return false;
    return !a.useProxy || (a.address == b.address && trim(a.port) == trim(b.port));
}

void refuse(unsigned id, void* owner) {
    prompt({owner, text(id), text(IDS_PROMPT_CAPTION), PromptIcon::Information});
}

}  // namespace

ProxyFields proxyFieldsOf(std::string_view text) {
    ProxyFields fields;
    std::string_view server = pickServer(trim(text));
    if (server.empty()) return fields;
    fields.useProxy = true;
    if (startsWithNoCase(server, "http://")) server.remove_prefix(7);
    if (!server.empty() && server.back() == '/') server.remove_suffix(1);
    const auto colon = server.rfind(':');
    const std::string_view host = server.substr(0, colon);
    if (colon != std::string_view::npos) {
        const std::string_view port = server.substr(colon + 1);
        if (allDigits(port) && port.size() <= 5) fields.port = std::string(port);
    }
    fields.address = parseIpv4(host);
    return fields;
}

ProxyForm::ProxyForm(ConnectionProxy& proxy, std::string connection)
    : proxy_(proxy), connection_(std::move(connection)) {}

ProxyFields ProxyForm::load(void* owner) {
    ConnectionProxySetting setting;
    shown_.emplace();
    if (!proxy_.query(connection_, setting)) {
        refuse(IDS_PROXY_QUERY_FAILED, owner);
        return *shown_;
    }
    // The server is kept while the proxy is switched off; the page shows it as off.
    if (setting.enabled) shown_ = proxyFieldsOf(setting.server);
    return *shown_;
}

void ProxyForm::boxClicked(ProxyFields& fields) {
    if (fields.useProxy) return;
    fields.address.reset();
    fields.port.clear();
}

bool ProxyForm::save(const ProxyFields& fields, void* owner) {
    if (shown_ && sameEntry(fields, *shown_)) return true;
    if (!fields.useProxy) {
        proxy_.clear(connection_);
        shown_ = fields;
        return true;
    }
    if (!fields.address) {
        refuse(IDS_PROXY_NO_ADDRESS, owner);
        return false;
    }
    const std::string_view port = trim(fields.port);
    if (port.empty()) {
        refuse(IDS_PROXY_NO_PORT, owner);
        return false;
    }
    if (!allDigits(port) || port.size() > 5 || std::stoi(std::string(port)) > 65535) {
        refuse(IDS_PROXY_PORT_RANGE, owner);
        return false;
    }
    const Ipv4Address& a = *fields.address;
    const std::string server = std::to_string(a[0]) + "." + std::to_string(a[1]) + "." +
                               std::to_string(a[2]) + "." + std::to_string(a[3]) + ":" +
                               std::string(port);
    // A refusal by the system is not reported: the page cannot do better than try.
    proxy_.set(connection_, server, kBypass);
    shown_ = fields;
    return true;
}

}  // namespace tarnix
