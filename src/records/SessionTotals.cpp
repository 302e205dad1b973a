#include "records/SessionTotals.h"

#include <limits>

#include "TextIds.h"
#include "base/Texts.h"
#include "records/RecordTime.h"

namespace tarnix {

namespace {
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
}

int64_t saturatingAdd(int64_t a, int64_t b) {
    // Both are never negative here: durations and byte counts.
    return a > kMax - b ? kMax : a + b;
}

int64_t SessionTotals::byteCount(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    int64_t value = 0;
    for (int count = 0; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
        const int digit = *p - '0';
        // Eighteen digits never overflow; past them, stop at the limit.
        if (++count > 18 && value > (kMax - digit) / 10) return negative ? 0 : kMax;
        value = value * 10 + digit;
    }
    if (!negative) return value;
    constexpr int64_t kWrap = int64_t{1} << 32;
    return value != 0 && value <= kWrap / 2 ? kWrap - value : 0;
}

void SessionTotals::add(std::optional<int64_t> seconds, std::string_view sent,
                        std::string_view received) {
    ++count_;
    if (seconds) seconds_ = saturatingAdd(seconds_, *seconds);
    bytes_ = saturatingAdd(bytes_, saturatingAdd(byteCount(sent), byteCount(received)));
}

std::string SessionTotals::summaryLine() const {
    std::string line(gbText(IDS_RECORD_SUMMARY_COUNT));
    line += std::to_string(count_);
    line += gbText(IDS_RECORD_SUMMARY_TIME);
    line += durationText(seconds_);
    line += gbText(IDS_RECORD_SUMMARY_TRAFFIC);
    line += groupDigits(std::to_string(bytes_));
    line += gbText(IDS_RECORD_BYTES);
    return line;
}

std::string groupDigits(std::string_view decimal) {
    if (decimal.size() <= 3) return std::string(decimal);
    size_t sign = 0;
    while (sign < decimal.size() && (decimal[sign] < '0' || decimal[sign] > '9')) ++sign;
    const std::string_view digits = decimal.substr(sign);
    std::string out(decimal.substr(0, sign));
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace tarnix
