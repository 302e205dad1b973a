#pragma once
// A process-wide handler that tests replace (message boxes, opening addresses): read and
// replaced under a lock, called outside it.

#include <mutex>
#include <utility>

namespace tarnix {

template <class Handler>
class ReplaceableHandler {
  public:
    Handler get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return handler_;
    }
    void set(Handler handler) {
        std::lock_guard<std::mutex> lock(mutex_);
        handler_ = std::move(handler);
    }

  private:
    mutable std::mutex mutex_;
    Handler handler_;
};

}  // namespace tarnix
