// Code page 936 through the Win32 conversion functions (never CP_ACP).
#include "store/CodePage.h"

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

// `usedDefault` is only asked for where the code page supports it (not for UTF-8).
std::string fromWide(UINT codePage, std::wstring_view wide, BOOL* usedDefault) {
    if (wide.empty()) return {};
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
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    wchar_t units[2];
    int count = 1;
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        units[0] = static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(codePoint);
    }
    BOOL usedDefault = FALSE;
    std::string out = fromWide(kGb, std::wstring_view(units, count), &usedDefault);
    if (usedDefault || out.find('\0') != std::string::npos) return {};
    return out;
}

}  // namespace tarnix
