#pragma once
// Conversions between the client's code page (936, GB2312/GBK) and Unicode.
// Always code page 936, never the system's own, so the client behaves the same on a
// Windows of any language. Bytes or characters that cannot be converted become '?'.

#include <string>
#include <string_view>

namespace tarnix {

std::string gbToUtf8(std::string_view gb);
std::string utf8ToGb(std::string_view utf8);
std::wstring gbToWide(std::string_view gb);
std::string wideToGb(std::wstring_view wide);

// The code page's bytes for one Unicode code point; empty when the code page has no such
// character (or for 0, surrogates and values beyond U+10FFFF).
std::string codePointToGb(char32_t codePoint);

// The byte-order marks a text file may start with.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

}  // namespace tarnix
