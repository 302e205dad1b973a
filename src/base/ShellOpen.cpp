#include "base/ShellOpen.h"

#include <string_view>

#include "base/AsciiText.h"
#include "base/ReplaceableHandler.h"

namespace tarnix {
namespace {

ReplaceableHandler<ShellOpenHandler>& handler() {
    static ReplaceableHandler<ShellOpenHandler> h;
    return h;
}

ReplaceableHandler<ShellOpenFileHandler>& fileHandler() {
    static ReplaceableHandler<ShellOpenFileHandler> h;
    return h;
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
    ShellOpenHandler h = handler().get();
    return h && h(address);
}

void setShellOpenHandler(ShellOpenHandler h) {
    handler().set(std::move(h));
}

bool shellOpenChosenFile(const std::filesystem::path& file) {
    if (file.empty()) return false;
    ShellOpenFileHandler h = fileHandler().get();
    return h && h(file);
}

void setShellOpenFileHandler(ShellOpenFileHandler h) {
    fileHandler().set(std::move(h));
}

}  // namespace tarnix
