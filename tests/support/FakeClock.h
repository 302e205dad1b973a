#pragma once
// A clock the test sets by hand.
#include <mutex>

#include "base/Clock.h"

namespace tarnix::testing {

class FakeClock : public Clock {
  public:
    explicit FakeClock(LocalTime start = {2009, 3, 1, 8, 5, 9}) : time_(start) {}
    LocalTime now() override {
        std::lock_guard<std::mutex> lock(mutex_);
        return time_;
    }
    void set(LocalTime time) {
        std::lock_guard<std::mutex> lock(mutex_);
        time_ = time;
    }

  private:
    std::mutex mutex_;
    LocalTime time_;
};

}  // namespace tarnix::testing
