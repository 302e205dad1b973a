#pragma once
// The totals under the record list: how many sessions, how long and how much traffic,
// and the summary line that shows them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnix {

class SessionTotals {
  public:
    // Counts one listed session: its duration (none when its times do not make one) and
    // its `send` and `recv` texts as stored.
    void add(std::optional<int64_t> seconds, std::string_view sent, std::string_view received);
    void clear() { *this = SessionTotals(); }

    int64_t count() const { return count_; }
    int64_t seconds() const { return seconds_; }
    int64_t bytes() const { return bytes_; }

    // "总计      次数：3      时间：1小时4分钟0秒      总流量：1,234,567字节"
    std::string summaryLine() const;

    // The byte count a `send` or `recv` text stands for: leading blanks, a sign and the
    // digits up to the first other character; 0 without digits. The counters were written
    // as signed 32-bit numbers, so -2147483648 to -1 are counters of 2 GiB and more and
    // count as such; any other negative number counts 0. Huge numbers stop at the limit.
    static int64_t byteCount(std::string_view text);

  private:
    int64_t count_ = 0;
    int64_t seconds_ = 0;
    int64_t bytes_ = 0;
};

// Adds without overflow: sums stop at the largest 64-bit value.
int64_t saturatingAdd(int64_t a, int64_t b);

// "1,234,567" for "1234567": a comma between groups of three digits counted from the
// right; a sign stays in front; texts of three characters or fewer come back unchanged.
std::string groupDigits(std::string_view decimal);

}  // namespace tarnix
