#pragma once
// IniText: the text of an INI file, read and changed as the Windows profile functions
// read and change it, so a file written from here reads back the same through them and a
// file they wrote reads the same here.
//
// Reading: sections and keys are found without regard to ASCII case, the first of equal
// names wins; values are trimmed and lose one pair of surrounding quotes. Changing: a
// key is rewritten where it stands; a new key goes after the last line of its section
// (before blank lines), a new section at the end of the file; every other line is kept
// byte for byte. Lines end in CR LF. The whole text is written at once, crash-safe,
// instead of one file rewrite per key.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

class IniText {
  public:
    IniText() = default;
    // The file's bytes: GB2312, or UTF-8 / UTF-16 with a byte-order mark (converted).
    explicit IniText(std::string_view bytes);

    // False when the file exists but cannot be read; a missing file gives an empty text.
    bool load(const std::filesystem::path& file);
    // Crash-safe replacement of the file.
    bool save(const std::filesystem::path& file) const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // As GetPrivateProfileInt: a missing or empty value gives the fallback, otherwise the
    // leading decimal number (0 when there is none), held to the int range.
    int number(std::string_view section, std::string_view key, int fallback) const;
    // Key names of the section in file order (empty for a missing section).
    std::vector<std::string> keys(std::string_view section) const;

    // Sets the key to the value. Line breaks in the value become spaces, and a value the
    // reader would change (surrounding blanks or quotes) is written inside quotes.
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

  private:
    struct Line {
        std::string raw;
        std::string key;  // lower-case; empty for blank, comment and other lines
    };
    struct Section {
        std::string header;  // the raw "[name]" line; empty for lines before any section
        std::vector<Line> lines;
        std::map<std::string, std::size_t> keyAt;  // first line of each key
    };

    void parse(std::string_view text);
    void addLine(std::string_view raw);
    const Section* find(std::string_view section) const;

    std::vector<Section> sections_{Section{}};
    std::map<std::string, std::size_t> sectionAt_;  // first section of each name
};

}  // namespace tarnix
