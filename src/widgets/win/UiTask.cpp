#include "widgets/win/UiTask.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace tarnix {
namespace {

// The functions wait here, not in the message: a message to a window that is destroyed
// first is thrown away by the system, and what it carried would leak.
struct PendingTasks {
    std::mutex mutex;
    std::uint64_t next = 1;
    std::map<std::uint64_t, std::pair<HWND, std::function<void()>>> byId;
};

PendingTasks& pending() {
    static PendingTasks* tasks = new PendingTasks;  // outlives every window and thread
    return *tasks;
}

}  // namespace

bool postUiTask(HWND window, std::function<void()> task) {
    if (!window || !task) return false;
    PendingTasks& tasks = pending();
    std::uint64_t id;
    {
        std::lock_guard<std::mutex> lock(tasks.mutex);
        id = tasks.next++;
        tasks.byId.emplace(id, std::make_pair(window, std::move(task)));
    }
    // The id travels in both parameters, so a 32-bit build carries all 64 bits.
    if (PostMessageW(window, WM_UI_TASK, static_cast<WPARAM>(id >> 32),
                     static_cast<LPARAM>(id & 0xFFFFFFFFu)))
        return true;
    std::lock_guard<std::mutex> lock(tasks.mutex);
    tasks.byId.erase(id);
    return false;
}

bool runUiTask(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_UI_TASK) return false;
    std::uint64_t id = (static_cast<std::uint64_t>(wParam) << 32) |
                       (static_cast<std::uint64_t>(lParam) & 0xFFFFFFFFu);
    std::function<void()> task;
    {
        PendingTasks& tasks = pending();
        std::lock_guard<std::mutex> lock(tasks.mutex);
        auto found = tasks.byId.find(id);
        if (found == tasks.byId.end()) return true;  // dropped meanwhile
        task = std::move(found->second.second);
        tasks.byId.erase(found);
    }
    task();  // outside the lock: a task may post another
    return true;
}

void dropUiTasks(HWND window) {
    PendingTasks& tasks = pending();
    std::lock_guard<std::mutex> lock(tasks.mutex);
    for (auto it = tasks.byId.begin(); it != tasks.byId.end();)
        it = it->second.first == window ? tasks.byId.erase(it) : std::next(it);
}

}  // namespace tarnix
