#include "app/NetworkWatcher.h"
#include "base/ThreadName.h"

#include <system_error>

namespace tarnix {

bool NetworkWatcher::start(Check check, Ready ready, std::chrono::milliseconds period) {
    if (thread_.joinable()) return true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }
    try {
        thread_ = std::thread(&NetworkWatcher::watch, this, std::move(check), std::move(ready),
                              period);
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

void NetworkWatcher::watch(Check check, Ready ready, std::chrono::milliseconds period) {
    nameThisThread("network watch");
    while (check() != 1) {
        if (!pause(period)) return;
    }
    if (pause(period)) ready();
}

}  // namespace tarnix
