#pragma once
// The receive and send rates of the last few minutes, one sample a second, for the
// statistics window's graph: a ring that drops the oldest sample when full.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnix {

struct RateSample {
    uint64_t receivedPerSecond = 0;  // bytes
    uint64_t sentPerSecond = 0;
};

class RateHistory {
  public:
    explicit RateHistory(size_t capacity = 300) : ring_(capacity ? capacity : 1) {}

    void push(RateSample sample) {
        ring_[(first_ + size_) % ring_.size()] = sample;
        if (size_ < ring_.size())
            ++size_;
        else
            first_ = (first_ + 1) % ring_.size();
    }
    size_t size() const { return size_; }
    size_t capacity() const { return ring_.size(); }
    // Oldest first: at(size() - 1) is the latest sample.
    const RateSample& at(size_t i) const { return ring_[(first_ + i) % ring_.size()]; }
    // The highest rate, either way, of the samples held: the graph's scale.
    uint64_t peak() const {
        uint64_t top = 0;
        for (size_t i = 0; i < size_; ++i) {
            const RateSample& s = at(i);
            top = s.receivedPerSecond > top ? s.receivedPerSecond : top;
            top = s.sentPerSecond > top ? s.sentPerSecond : top;
        }
        return top;
    }

    // The graph's scale: the rate of its top line in KB/s (1,024 bytes), the least of 1,
    // 2 or 5 times a power of ten that the peak does not pass, so that the scale reads as
    // a round number and moves in few steps.
    static uint64_t scaleKilobytes(uint64_t peakBytesPerSecond) {
        for (uint64_t power = 1; power <= UINT64_MAX / 5120; power *= 10) {
            for (uint64_t step : {1, 2, 5})
                if (peakBytesPerSecond <= step * power * 1024) return step * power;
        }
        return UINT64_MAX / 1024;
    }

  private:
    std::vector<RateSample> ring_;
    size_t first_ = 0;
    size_t size_ = 0;
};

}  // namespace tarnix
