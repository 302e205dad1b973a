#include "messages/UnreadFile.h"

#include <string_view>
#include <vector>

#include "base/TextLines.h"
#include "store/SafeFile.h"

namespace tarnix {
namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
}

// The fields of one line; a backslash before anything else stands for itself.
std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

std::filesystem::path unreadFileFor(const std::filesystem::path& store) {
    std::filesystem::path file = store;
    return file += ".unread";
}

std::set<MessageKey> readUnreadFile(const std::filesystem::path& file) {
    std::set<MessageKey> keys;
    std::string bytes, error;
    if (!readWholeFile(file, bytes, error)) return keys;
    forEachLine(bytes, [&keys](std::string_view line) {
        std::vector<std::string> fields = fieldsOf(line);
        if (fields.size() == 3)
            keys.emplace(std::move(fields[0]), std::move(fields[1]), std::move(fields[2]));
    });
    return keys;
}

bool writeUnreadFile(const std::filesystem::path& file, const std::set<MessageKey>& keys) {
    std::string text;
    for (const auto& [date, time, title] : keys) {
        appendEscaped(text, date);
        text += '\t';
        appendEscaped(text, time);
        text += '\t';
        appendEscaped(text, title);
        text += "\r\n";
    }
    std::string error;
    return writeWholeFile(file, text, error);
}

}  // namespace tarnix
