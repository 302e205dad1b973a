#pragma once
// A group of short-lived threads that its owner can wait for: the owner must not go away
// while one of them still runs. Finished threads are joined as new ones start, so the group
// does not grow with the program's age.

#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnix {

class WorkerThreads {
  public:
    WorkerThreads() = default;
    ~WorkerThreads() { joinAll(); }
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs `body` on a new thread; false when the thread cannot be made. May be called
    // from one of the group's own threads.
    bool start(std::function<void()> body);
    // Waits until every thread of the group has ended, also those started meanwhile, and
    // calls `whileWaiting` about every 10 ms (a window's thread handles the messages sent
    // to it there, so that a thread blocked on it can finish).
    void joinAll(const std::function<void()>& whileWaiting = {});
    int running() const;

  private:
    void joinFinished();

    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::list<std::thread> threads_;
    std::vector<std::thread::id> finished_;
    int running_ = 0;
};

}  // namespace tarnix
