#include "widgets/SpokenText.h"

#include <cmath>
#include <cstdio>

namespace tarnix {
namespace {

bool wide(wchar_t c) {
    return c >= 0x2E80;  // CJK and the punctuation and forms that go with it
}

}  // namespace

std::wstring spokenCaption(const std::wstring& caption) {
    std::wstring plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') plain += caption[++i];
            continue;
        }
        plain += caption[i];
    }
    std::wstring spoken;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == L' ' && !spoken.empty() && wide(spoken.back())) {
            std::size_t next = plain.find_first_not_of(L' ', i);
            if (next != std::wstring::npos && wide(plain[next])) {
                i = next - 1;
                continue;
            }
        }
        spoken += plain[i];
    }
    return spoken;
}

std::wstring fillIn(const std::wstring& pattern, std::initializer_list<std::wstring> values) {
    std::wstring out;
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L's') {
            if (next != values.end()) out += *next++;
            ++i;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

std::wstring oneDecimal(double value) {
    if (!std::isfinite(value)) value = 0;
    wchar_t text[64];
    std::swprintf(text, 64, L"%.1f", value);
    return text;
}

}  // namespace tarnix
