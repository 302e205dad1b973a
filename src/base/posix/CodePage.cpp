// Code page 936 through iconv. wchar_t is 32-bit here, so "WCHAR_T" is UTF-32.
#include "base/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace tarnix {
namespace {

// One iconv descriptor per direction and thread: opening one is far dearer than a call.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `size` bytes; an input unit that cannot be converted is replaced by
    // `replacement` and skipped (`unitOf` tells how long that unit is).
    template <typename Out, typename UnitLength>
    Out run(const char* data, size_t size, const Out& replacement, UnitLength unitOf) {
        Out out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return replacement;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        using Unit = typename Out::value_type;
        char buffer[4096];
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.append(reinterpret_cast<const Unit*>(buffer),
                       (sizeof buffer - outLeft) / sizeof(Unit));
            if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated sequence at the end): replace one unit.
            size_t skip = unitOf(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            out += replacement;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

  private:
    iconv_t cd_;
};

size_t gbUnit(const unsigned char* p, size_t left) {
    return (p[0] >= 0x81 && p[0] <= 0xFE && left >= 2) ? 2 : 1;
}

size_t utf8Unit(const unsigned char* p, size_t left) {
    size_t n = 1;
    while (n < left && n < 4 && (p[n] & 0xC0) == 0x80) ++n;
    return n;
}

size_t wideUnit(const unsigned char*, size_t left) {
    return left < sizeof(wchar_t) ? left : sizeof(wchar_t);
}

}  // namespace

std::string gbToUtf8(std::string_view gb) {
    thread_local Converter c("UTF-8", "CP936");
    return c.run(gb.data(), gb.size(), std::string("?"), gbUnit);
}

std::string utf8ToGb(std::string_view utf8) {
    thread_local Converter c("CP936", "UTF-8");
    return c.run(utf8.data(), utf8.size(), std::string("?"), utf8Unit);
}

std::wstring gbToWide(std::string_view gb) {
    thread_local Converter c("WCHAR_T", "CP936");
    return c.run(gb.data(), gb.size(), std::wstring(L"?"), gbUnit);
}

std::string wideToGb(std::wstring_view wide) {
    thread_local Converter c("CP936", "WCHAR_T");
    return c.run(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t),
                 std::string("?"), wideUnit);
}

std::string codePointToGb(char32_t codePoint) {
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    thread_local Converter c("CP936", "UTF-32LE");
    unsigned char in[4] = {static_cast<unsigned char>(codePoint),
                           static_cast<unsigned char>(codePoint >> 8),
                           static_cast<unsigned char>(codePoint >> 16), 0};
    const std::string failed = std::string(1, '\0');
    std::string out = c.run(reinterpret_cast<const char*>(in), 4, failed,
                            [](const unsigned char*, size_t left) { return left; });
    if (out.empty() || out.find('\0') != std::string::npos) return {};
    return out;
}

}  // namespace tarnix
