#include "shortcuts/IniText.h"

#include <climits>
#include <system_error>

#include "base/AsciiText.h"
#include "base/TextLines.h"
#include "base/CodePage.h"
#include "store/SafeFile.h"

namespace tarnix {
namespace {

// The profile functions' blanks: C white space, and ^Z (the old end-of-file mark).
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

// A value as the reader returns it: trimmed, one pair of quotes removed, up to a NUL.
std::string readValue(std::string_view raw) {
    std::string_view v = trim(raw);
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return std::string(v.substr(0, v.find('\0')));
}

// UTF-16LE text (after its mark) as UTF-8; unpaired surrogates become '?'.
std::string utf16ToUtf8(std::string_view bytes) {
    std::string out;
    auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The file's text in GB2312, whatever encoding its byte-order mark names.
std::string asGb(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return utf8ToGb(bytes.substr(kUtf8Bom.size()));
    if (bytes.starts_with(kUtf16LeBom))
        return utf8ToGb(utf16ToUtf8(bytes.substr(kUtf16LeBom.size())));
    return std::string(bytes);
}

}  // namespace

IniText::IniText(std::string_view bytes) {
    parse(asGb(bytes));
}

bool IniText::load(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        *this = IniText();
        return !ec;
    }
    std::string bytes, error;
    if (!readWholeFile(file, bytes, error)) return false;
    *this = IniText(bytes);
    return true;
}

bool IniText::save(const std::filesystem::path& file) const {
    std::string error;
    return writeWholeFile(file, text(), error);
}

void IniText::parse(std::string_view text) {
    forEachLine(text, [this](std::string_view line) { addLine(line); });
}

void IniText::addLine(std::string_view raw) {
    const std::string_view t = trim(raw);
    const std::size_t close = t.rfind(']');
    if (!t.empty() && t.front() == '[' && close != std::string_view::npos) {
        sections_.push_back(Section{std::string(raw), {}, {}});
        sectionAt_.emplace(lowerAscii(t.substr(1, close - 1)), sections_.size() - 1);
        return;
    }
    Section& section = sections_.back();
    Line line{std::string(raw), {}};
    const std::size_t eq = t.find('=');
    if (eq != std::string_view::npos && t.front() != ';') {
        line.key = std::string(trim(t.substr(0, eq)));
        if (!line.key.empty()) section.keyAt.emplace(lowerAscii(line.key), section.lines.size());
    }
    section.lines.push_back(std::move(line));
}

const IniText::Section* IniText::find(std::string_view section) const {
    auto it = sectionAt_.find(lowerAscii(trim(section)));
    return it == sectionAt_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const Section* s = find(section);
    if (!s) return std::nullopt;
    auto it = s->keyAt.find(lowerAscii(trim(key)));
    if (it == s->keyAt.end()) return std::nullopt;
    const std::string& raw = s->lines[it->second].raw;
    return readValue(std::string_view(raw).substr(raw.find('=') + 1));
}

int IniText::number(std::string_view section, std::string_view key, int fallback) const {
    const std::optional<std::string> text = value(section, key);
    if (!text || text->empty()) return fallback;
    std::string_view s = trim(*text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) break;  // held to the int range below
    }
    if (negative) n = -n;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

std::vector<std::string> IniText::keys(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* s = find(section)) {
        for (const Line& line : s->lines) {
            if (!line.key.empty()) names.push_back(line.key);
        }
    }
    return names;
}

void IniText::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string v(value);
    for (char& c : v) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    if (readValue(v) != v) v = '"' + v + '"';
    const std::string name(trim(key));
    std::string entry = name + "=" + v;

    auto it = sectionAt_.find(lowerAscii(trim(section)));
    if (it == sectionAt_.end()) {
        sections_.push_back(Section{"[" + std::string(trim(section)) + "]", {}, {}});
        it = sectionAt_.emplace(lowerAscii(trim(section)), sections_.size() - 1).first;
    }
    Section& s = sections_[it->second];
    auto at = s.keyAt.find(lowerAscii(name));
    if (at != s.keyAt.end()) {
        s.lines[at->second] = Line{std::move(entry), name};
        return;
    }
    // After the section's last line that is not blank; only blank lines move.
    std::size_t pos = s.lines.size();
    while (pos > 0 && trim(s.lines[pos - 1].raw).empty()) --pos;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(pos),
                   Line{std::move(entry), name});
    s.keyAt.emplace(lowerAscii(name), pos);
}

std::string IniText::text() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.header.empty()) out += s.header + "\r\n";
        for (const Line& line : s.lines) out += line.raw + "\r\n";
    }
    return out;
}

}  // namespace tarnix
