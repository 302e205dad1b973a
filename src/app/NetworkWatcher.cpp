#include "app/NetworkWatcher.h"
#include "base/ThreadName.h"

#include <algorithm>
#include <system_error>

namespace tarnix {

bool NetworkWatcher::start(Check check, Ready ready, std::chrono::milliseconds period,
                           std::chrono::milliseconds longest) {
    if (thread_.joinable()) return true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    try {
        thread_ = std::thread(&NetworkWatcher::watch, this, std::move(check), std::move(ready),
                              period, longest);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void NetworkWatcher::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool NetworkWatcher::pause(std::chrono::milliseconds period) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, period, [this] { return stopping_; });
}

void NetworkWatcher::watch(Check check, Ready ready, std::chrono::milliseconds period,
                           std::chrono::milliseconds longest) {
    nameThisThread("network watch");
    for (auto pauseFor = period; check() != 1; pauseFor = std::min(longest, pauseFor * 2)) {
        if (!pause(pauseFor)) return;
    }
    if (pause(period)) ready();
}

}  // namespace tarnix
