// Code page 936 through the Win32 conversion functions (never CP_ACP).
#include "base/CodePage.h"

#include <windows.h>

namespace tarnix {
namespace {

constexpr UINT kGb = 936;

std::wstring toWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    int size = static_cast<int>(bytes.size());
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), n);
    return out;
}

// Code page 936 has no characters beyond U+FFFF: each surrogate pair becomes one '?',
// as one unconvertible character does elsewhere.
std::wstring withoutSurrogatePairs(std::wstring_view wide) {
    std::wstring out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            out += L'?';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// `usedDefault` is only asked for where the code page supports it (not for UTF-8).
std::string fromWide(UINT codePage, std::wstring_view original, BOOL* usedDefault) {
    if (original.empty()) return {};
    std::wstring cleaned;
    std::wstring_view wide = original;
    if (codePage == kGb) {
        cleaned = withoutSurrogatePairs(original);
        wide = cleaned;
    }
    int size = static_cast<int>(wide.size());
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), n, nullptr, usedDefault);
    return out;
}

}  // namespace

std::string gbToUtf8(std::string_view gb) {
    return fromWide(CP_UTF8, toWide(kGb, gb), nullptr);
}

std::string utf8ToGb(std::string_view utf8) {
    BOOL usedDefault = FALSE;
    return fromWide(kGb, toWide(CP_UTF8, utf8), &usedDefault);
}

std::wstring gbToWide(std::string_view gb) {
    return toWide(kGb, gb);
}

std::string wideToGb(std::wstring_view wide) {
    BOOL usedDefault = FALSE;
    return fromWide(kGb, wide, &usedDefault);
}

std::string codePointToGb(char32_t codePoint) {
    // Nothing beyond U+FFFF exists in code page 936.
    if (codePoint == 0 || codePoint > 0xFFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    const wchar_t unit = static_cast<wchar_t>(codePoint);
    BOOL usedDefault = FALSE;
    std::string out = fromWide(kGb, std::wstring_view(&unit, 1), &usedDefault);
    if (usedDefault || out.find('\0') != std::string::npos) return {};
    return out;
}

}  // namespace tarnix
