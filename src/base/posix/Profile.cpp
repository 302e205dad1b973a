// A reader and writer of INI files that behaves as the Windows profile functions do for the
// files this program uses: names compared without regard to case, values trimmed, one pair
// of surrounding quotes removed, missing file or key gives the fallback.
#include "base/Profile.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/AsciiText.h"

namespace tarnix {
namespace {

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool isSection(const std::string& line, std::string* name) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    auto close = t.find(']');
    if (close == std::string::npos) return false;
    if (name) *name = trim(t.substr(1, close - 1));
    return true;
}

bool keyOf(const std::string& line, std::string* key, std::string* value) {
    auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    *key = trim(line.substr(0, eq));
    if (value) *value = trim(line.substr(eq + 1));
    return true;
}

class PosixProfile : public Profile {
  public:
    std::string readString(const std::filesystem::path& file, const std::string& section,
                           const std::string& key, const std::string& fallback) override {
        std::string current, k, v;
        bool inSection = false;
        for (const auto& line : readLines(file)) {
            if (isSection(line, &current)) {
                inSection = equalsNoCase(current, section);
            } else if (inSection && keyOf(line, &k, &v) && equalsNoCase(k, key)) {
                if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') &&
                    v.back() == v.front()) {
                    v = v.substr(1, v.size() - 2);
                }
                return v;
            }
        }
        return fallback;
    }

    int readInt(const std::filesystem::path& file, const std::string& section,
                const std::string& key, int fallback) override {
        std::string text = readString(file, section, key, "");
        if (text.empty()) return fallback;
        // Like the Windows function: leading digits count, anything else is 0.
        return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    }

    bool writeString(const std::filesystem::path& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        auto lines = readLines(file);
        std::string current, k;
        int sectionAt = -1, keyAt = -1, sectionEnd = -1;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (isSection(lines[i], &current)) {
                if (sectionAt >= 0 && sectionEnd < 0) sectionEnd = i;
                if (sectionAt < 0 && equalsNoCase(current, section)) sectionAt = i;
            } else if (sectionAt >= 0 && sectionEnd < 0 && keyAt < 0 &&
                       keyOf(lines[i], &k, nullptr) && equalsNoCase(k, key)) {
                keyAt = i;
            }
        }
        const std::string entry = key + "=" + value;
        if (keyAt >= 0) {
            lines[keyAt] = entry;
        } else if (sectionAt >= 0) {
            int at = sectionEnd >= 0 ? sectionEnd : static_cast<int>(lines.size());
            while (at > sectionAt + 1 && trim(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + at, entry);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(entry);
        }
        std::ostringstream out;
        for (const auto& line : lines) out << line << "\r\n";
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f << out.str();
        return static_cast<bool>(f);
    }
};

}  // namespace

Profile& systemProfile() {
    static PosixProfile profile;
    return profile;
}

}  // namespace tarnix
