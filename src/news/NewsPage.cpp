#include "news/NewsPage.h"

#include <cstddef>

#include "base/AsciiText.h"

namespace tarnix {
namespace {

constexpr std::size_t kMaxHostName = 253;  // DNS limits
constexpr std::size_t kMaxLabel = 63;

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool isLabel(std::string_view label) {
    if (label.empty() || label.size() > kMaxLabel) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    for (char c : label)
        if (!isLetterOrDigit(c) && c != '-') return false;
    return true;
}

// An all-numeric name is only accepted as a dotted IPv4 address: the browser would read
// "10.1" or "3232235777" as an address of its own making.
bool isIpv4(std::string_view name) {
    int parts = 0;
    while (true) {
        std::size_t dot = name.find('.');
        std::string_view part = name.substr(0, dot);
        if (!isDigits(part) || part.size() > 3 || std::stoi(std::string(part)) > 255) return false;
        if (part.size() > 1 && part.front() == '0') return false;  // octal to some readers
        ++parts;
        if (dot == std::string_view::npos) break;
        name.remove_prefix(dot + 1);
    }
    return parts == 4;
}

bool isHostName(std::string_view name) {
    if (name.empty() || name.size() > kMaxHostName) return false;
    bool numeric = true;
    for (char c : name)
        if (c != '.' && (c < '0' || c > '9')) numeric = false;
    if (numeric) return isIpv4(name);
    while (true) {
        std::size_t dot = name.find('.');
        if (!isLabel(name.substr(0, dot))) return false;
        if (dot == std::string_view::npos) return true;
        name.remove_prefix(dot + 1);
    }
}

bool isPort(std::string_view port) {
    if (!isDigits(port) || port.size() > 5) return false;
    int value = std::stoi(std::string(port));
    return value >= 1 && value <= 65535;
}

}  // namespace

NewsSettings readNewsSettings(const std::filesystem::path& folder, Profile& profile) {
    const auto ini = folder / "Provider.ini";
    NewsSettings settings;
    settings.host = profile.readString(ini, "News", "Host", "");
    settings.showAfterConnect = profile.readInt(ini, "News", "ShowAfterConnect", 0) == 1;
    return settings;
}

bool isPlainHost(std::string_view host) {
    std::size_t colon = host.find(':');
    if (colon == std::string_view::npos) return isHostName(host);
    return isHostName(host.substr(0, colon)) && isPort(host.substr(colon + 1));
}

std::string newsPageAddress(std::string_view host) {
    if (!isPlainHost(host)) return {};
    return "http://" + std::string(host) + kNewsPagePath;
}

namespace {

// "name:80" and "name" are the same place.
std::string withoutDefaultPort(std::string authority) {
    if (authority.size() > 3 && authority.compare(authority.size() - 3, 3, ":80") == 0)
        authority.resize(authority.size() - 3);
    return authority;
}

}  // namespace

std::string httpAuthority(std::string_view address) {
    constexpr std::string_view kScheme = "http://";
    if (address.size() < kScheme.size() || lowerAscii(address.substr(0, kScheme.size())) != kScheme)
        return {};
    address.remove_prefix(kScheme.size());
    std::string_view authority = address.substr(0, address.find_first_of("/?#"));
    if (!isPlainHost(authority)) return {};
    return lowerAscii(authority);
}

bool isNewsHostAddress(std::string_view address, std::string_view host) {
    if (address == "about:blank") return true;
    const std::string authority = httpAuthority(address);
    return !authority.empty() && isPlainHost(host) &&
           withoutDefaultPort(authority) == withoutDefaultPort(lowerAscii(host));
}

}  // namespace tarnix
