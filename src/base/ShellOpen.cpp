#include "base/ShellOpen.h"

#include <mutex>
#include <string_view>

namespace tarnix {
namespace {

std::mutex& handlerMutex() {
    static std::mutex m;
    return m;
}

ShellOpenHandler& handler() {
    static ShellOpenHandler h;
    return h;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool isOpenableAddress(const std::string& address) {
    for (unsigned char c : address) {
        if (c <= 0x20 || c >= 0x7f) return false;
    }
    for (std::string_view scheme : {"http://", "https://", "mailto:"}) {
        if (startsWithNoCase(address, scheme) && address.size() > scheme.size()) return true;
    }
    return false;
}

}  // namespace

bool shellOpen(const std::string& address) {
    if (!isOpenableAddress(address)) return false;
    ShellOpenHandler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex());
        h = handler();
    }
    return h ? h(address) : systemShellOpen(address);
}

void setShellOpenHandler(ShellOpenHandler h) {
    std::lock_guard<std::mutex> lock(handlerMutex());
    handler() = std::move(h);
}

}  // namespace tarnix
