#include "base/WorkerThreads.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace tarnix {

bool WorkerThreads::start(std::function<void()> body) {
    joinFinished();
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        threads_.emplace_back([this, body = std::move(body)] {
            body();
            std::lock_guard<std::mutex> lock(mutex_);
            --running_;
            finished_.push_back(std::this_thread::get_id());
            ended_.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    ++running_;
    return true;
}

void WorkerThreads::joinFinished() {
    std::list<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = threads_.begin(); it != threads_.end();) {
            auto id = it->get_id();
            auto seen = std::find(finished_.begin(), finished_.end(), id);
            if (seen != finished_.end() && id != std::this_thread::get_id()) {
                finished_.erase(seen);
                done.splice(done.end(), threads_, it++);
            } else {
                ++it;
            }
        }
    }
    for (auto& t : done) t.join();
}

void WorkerThreads::joinAll(const std::function<void()>& whileWaiting) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (running_ > 0) {
        ended_.wait_for(lock, std::chrono::milliseconds(10));
        if (whileWaiting && running_ > 0) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
    std::list<std::thread> all;
    all.swap(threads_);
    finished_.clear();
    lock.unlock();
    for (auto& t : all) {
        if (t.joinable()) t.join();
    }
}

int WorkerThreads::running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

}  // namespace tarnix
