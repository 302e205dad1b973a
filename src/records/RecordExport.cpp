#include "records/RecordExport.h"

#include <algorithm>

#include "TextIds.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "store/SafeFile.h"

namespace tarnix {

namespace fs = std::filesystem;

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool isUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t length;
        uint32_t value;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2, value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3, value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, value = c & 0x07;
        } else {
            return false;
        }
        if (i + length > s.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            value = value << 6 | (t & 0x3F);
        }
        if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) ||
            (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

std::string utf16(std::string_view gb, bool bigEndian) {
    const std::wstring wide = gbToWide(gb);
    std::string out;
    out.reserve(wide.size() * 2);
    auto unit = [&](uint32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (wchar_t w : wide) {
        const auto c = static_cast<uint32_t>(w);
        if (c > 0xFFFF) {  // wchar_t is 32-bit off Windows
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

bool endsWithLineBreak(std::string_view body, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16Le)
        return body.size() >= 2 && body.substr(body.size() - 2) == std::string_view("\n\0", 2);
    if (encoding == TextEncoding::Utf16Be)
        return body.size() >= 2 && body.substr(body.size() - 2) == std::string_view("\0\n", 2);
    return !body.empty() && body.back() == '\n';
}

}  // namespace

std::string RecordExport::lines(const RecordTable& table) {
    std::string out;
    for (size_t row = 0; row < table.size(); ++row) {
        for (int column = 0; column < kRecordColumnCount; ++column) {
            out += table.cell(row, column);
            out += column + 1 < kRecordColumnCount ? "\t" : "\r\n";
        }
    }
    return out;
}

TextEncoding RecordExport::encodingFor(std::string_view existing) {
    if (startsWith(existing, kUtf8Bom)) return TextEncoding::Utf8WithMark;
    if (startsWith(existing, kUtf16LeBom)) return TextEncoding::Utf16Le;
    if (startsWith(existing, kUtf16BeBom)) return TextEncoding::Utf16Be;
    // Plain ASCII (and a new, empty file) reads the same in both: GB2312.
    const bool ascii = std::all_of(existing.begin(), existing.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && isUtf8(existing) ? TextEncoding::Utf8 : TextEncoding::Gb2312;
}

std::string RecordExport::appended(std::string_view existing, std::string_view lines) {
    const TextEncoding encoding = encodingFor(existing);
    std::string text(existing);
    std::string gb;
    const size_t mark = encoding == TextEncoding::Utf8WithMark ? kUtf8Bom.size()
                        : encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be
                            ? 2
                            : 0;
    if (existing.size() > mark && !endsWithLineBreak(existing.substr(mark), encoding)) gb = "\r\n";
    gb += lines;
    switch (encoding) {
        case TextEncoding::Utf8WithMark:
            text += gbToUtf8(gb);
            break;
        case TextEncoding::Utf8:
            text += gbToUtf8(gb);
            break;
        case TextEncoding::Utf16Le:
            text += utf16(gb, false);
            break;
        case TextEncoding::Utf16Be:
            text += utf16(gb, true);
            break;
        case TextEncoding::Gb2312:
            text += gb;
            break;
    }
    return text;
}

std::string RecordExport::appendTo(const fs::path& file, const RecordTable& table) {
    const std::string name = gbFileName(file);
    auto failure = [&](unsigned head, const std::string& reason) {
        return gbText(head) + name + gbText(IDS_RECORD_NAME_THEN_REASON) + reason;
    };
    std::error_code ec;
    const auto status = fs::status(file, ec);
    const bool present = fs::exists(status);
    if (ec && status.type() != fs::file_type::not_found)
        return failure(IDS_RECORD_CANNOT_READ_FILE, ec.message());
    if (present && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return gbText(IDS_RECORD_OTHER_FILE) + name + gbText(IDS_RECORD_IS_READ_ONLY);
    // An existing file that cannot be read is not replaced: its content would be lost.
    std::string existing, error;
    if (present && !readWholeFile(file, existing, error))
        return failure(IDS_RECORD_CANNOT_READ_FILE, error);
    if (!writeWholeFile(file, appended(existing, lines(table)), error))
        return failure(IDS_RECORD_CANNOT_WRITE_FILE, error);
    return {};
}

}  // namespace tarnix
