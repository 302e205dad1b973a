#include "shortcuts/ShortcutRules.h"

#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

bool isLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

// Bytes in the character that starts at `i`.
std::size_t charLength(std::string_view text, std::size_t i) {
    return isLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Where the part after the last separator starts (0 when there is none).
std::size_t lastPartStart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += charLength(path, i)) {
        if (isSeparator(path[i])) start = i + 1;
    }
    return start;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::string truncateGb(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + charLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::string trimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string nameFromPath(std::string_view path) {
    std::string_view name = path.substr(lastPartStart(path));
    return std::string(name.empty() ? path : name);
}

std::string captionFromFileName(std::string_view path) {
    std::string_view name = path.substr(lastPartStart(path));
    const std::size_t dot = name.rfind('.');  // '.' is never a trail byte
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::string locationFromTarget(std::string_view target) {
    std::string location(target);
    if (target.empty() || isSeparator(target.back())) return location;
    if (target.substr(lastPartStart(target)).find('.') == std::string_view::npos) {
        location += '\\';
    }
    return location;
}

bool isWebAddress(std::string_view target) {
    const std::size_t colon = target.find("://");
    if (colon == std::string_view::npos || colon < 2 || !isAsciiLetter(target[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = target[i];
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

std::string webAddressWithScheme(std::string_view address) {
    std::string trimmed = trimBlanks(address);
    if (trimmed.empty() || isWebAddress(trimmed)) return trimmed;
    return "http://" + trimmed;
}

TextCheck checkNewFolder(int folderCount, std::string_view name) {
    TextCheck check{trimBlanks(name), {}};
    if (check.value.empty()) {
        check.message = IDS_SHORTCUT_EMPTY_GROUP_NAME;
    } else if (folderCount >= kMaxShortcutFolders) {
        check.message = IDS_SHORTCUT_TOO_MANY_FOLDERS;
    } else {
        check.value = truncateGb(check.value, kMaxFolderNameBytes);
    }
    return check;
}

TextCheck checkFilePath(std::string_view path) {
    TextCheck check{trimBlanks(path), {}};
    if (check.value.empty()) {
        check.message = IDS_SHORTCUT_EMPTY_FILE_PATH;
    } else if (check.value.size() > kMaxTargetBytes) {
        check.message = IDS_SHORTCUT_PATH_TOO_LONG;
    }
    return check;
}

WebPageCheck checkWebPage(std::string_view name, std::string_view address) {
    WebPageCheck check{
        truncateGb(trimBlanks(name), kMaxCaptionBytes), webAddressWithScheme(address), {}};
    if (check.name.empty()) {
        check.message = IDS_SHORTCUT_NO_SITE_NAME;
    } else if (check.address.empty()) {
        check.message = IDS_SHORTCUT_NO_SITE_ADDRESS;
    } else if (check.address.size() > kMaxTargetBytes) {
        check.message = IDS_SHORTCUT_PATH_TOO_LONG;
    }
    return check;
}

std::string deleteShortcutQuestion(std::string_view folder, std::string_view shortcut) {
    std::string text = gbText(IDS_SHORTCUT_DELETE_BEFORE);
    text += '"';
    text += folder;
    text += '"';
    text += gbText(IDS_SHORTCUT_DELETE_MIDDLE);
    text += "\n\"";
    text += shortcut;
    text += '"';
    text += gbText(IDS_SHORTCUT_DELETE_AFTER);
    return text;
}

}  // namespace tarnix
