#pragma once
// A portable auto-reset event, for the lab and test implementations of the
// remote-access service and for threads that must be woken from a long wait.

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "base/NotifyEvent.h"

namespace tarnix {

class Event : public NotifyEvent {
  public:
    void set() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            signalled_ = true;
        }
        cv_.notify_one();
    }

    bool wait(std::uint32_t timeoutMs = kWaitForever) override {
        std::unique_lock<std::mutex> lock(mutex_);
        auto ready = [this] { return signalled_; };
        if (timeoutMs == kWaitForever) {
            cv_.wait(lock, ready);
        } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
            return false;
        }
        signalled_ = false;
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

}  // namespace tarnix
