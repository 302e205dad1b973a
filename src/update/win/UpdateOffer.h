#pragma once
// The client's side of updating: the automatic check once the network is there, the
// question "发现新的版本，是否更新？" when it finds a newer version, and the start of
// Updata.exe (also by the "软件升级" command, without a check).

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <filesystem>
#include <thread>

#include "base/net/HttpGet.h"

namespace tarnix {

class ConfigStore;

class AutomaticUpdateCheck {
  public:
    AutomaticUpdateCheck() = default;
    ~AutomaticUpdateCheck() { wait(); }
    AutomaticUpdateCheck(const AutomaticUpdateCheck&) = delete;
    AutomaticUpdateCheck& operator=(const AutomaticUpdateCheck&) = delete;

    // On `owner`'s thread, when the network is ready: in automatic mode, and only the
    // first time in a run, checks on a worker; a newer version is offered over `owner`.
    // False when no check started.
    bool start(HWND owner, ConfigStore& config, const std::filesystem::path& programFolder,
               std::uint32_t timeoutMs = kHttpTimeoutMs);
    // Waits for a check in progress (its waits are bounded by the time-out).
    void wait();
    // The same until `deadline` at most: a check still waiting on the network then is left
    // to end alone (it has copies of all it uses), so that it never holds up the exit.
    void waitUntil(std::chrono::steady_clock::time_point deadline);

  private:
    bool started_ = false;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> done_ = std::make_shared<std::atomic<bool>>(false);
};

// On `owner`'s thread: asks whether to update and, on Yes, starts the updater.
void offerUpdate(HWND owner, const std::filesystem::path& programFolder);
// On `owner`'s thread: starts Updata.exe; a missing or failing updater is told.
void startUpdaterFor(HWND owner, const std::filesystem::path& programFolder);

}  // namespace tarnix
