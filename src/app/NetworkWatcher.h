#pragma once
// Waits in the background for the machine to reach a network, then says so once. The
// update check waits for it, so that it does not fail on a machine that is still starting.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tarnix {

class NetworkWatcher {
  public:
    using Check = std::function<int()>;  // 1 when a network can be reached
    using Ready = std::function<void()>;

    NetworkWatcher() = default;
    ~NetworkWatcher() { stop(); }
    NetworkWatcher(const NetworkWatcher&) = delete;
    NetworkWatcher& operator=(const NetworkWatcher&) = delete;

    // Calls `check` until it returns 1, waits one `period` more and calls `ready` once.
    // The looks come `period` apart at first, then twice as far apart each time up to
    // `longest`: a machine that stays off the network is not woken ten times a second for
    // as long as the client runs. False when the thread cannot start (the watcher then
    // does nothing).
    bool start(Check check, Ready ready,
               std::chrono::milliseconds period = std::chrono::milliseconds(100),
               std::chrono::milliseconds longest = std::chrono::seconds(5));
    // Ends the watch, waking it from its pause, and waits for the thread.
    void stop();

  private:
    void watch(Check check, Ready ready, std::chrono::milliseconds period,
               std::chrono::milliseconds longest);
    // False when stopped during the pause.
    bool pause(std::chrono::milliseconds period);

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace tarnix
