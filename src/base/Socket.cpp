// The parts of the socket wrapper that are the same on every platform.
#include "base/Socket.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tarnix {

Socket::Socket(std::intptr_t handle) : handle_(handle) {
    openWake();
}

Socket::~Socket() {
    close();
}

Socket::Socket(Socket&& other) noexcept : handle_(other.handle_) {
    shut_ = other.shut_.load();
    other.handle_ = kInvalid;
    swapWake(other);
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        shut_ = other.shut_.load();
        other.handle_ = kInvalid;
        swapWake(other);
    }
    return *this;
}

void Socket::swapWake(Socket& other) noexcept {
    std::swap(wake_[0], other.wake_[0]);
    std::swap(wake_[1], other.wake_[1]);
}

int Socket::waitReadable(std::uint32_t timeoutMs) {
    if (shut_ || !valid()) return -1;
    if (wake_[0] != kInvalid) {
        const int ready = waitReadableOrWoken(timeoutMs);
        return ready > 0 && shut_ ? -1 : ready;
    }
    // No wake-up: the flag is looked at every tenth of a second.
    constexpr std::uint32_t kSliceMs = 100;
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    for (;;) {
        if (shut_ || !valid()) return -1;
        std::uint32_t slice = kSliceMs;
        if (timeoutMs != kSocketForever) {
            auto spent =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            if (spent >= static_cast<long long>(timeoutMs)) return 0;
            slice = std::min<std::uint32_t>(slice, timeoutMs - static_cast<std::uint32_t>(spent));
        }
        int ready = pollReadable(slice);
        if (ready < 0) return -1;
        if (ready > 0) return shut_ ? -1 : 1;
    }
}

LineReader::Result LineReader::readLine(std::string& line, std::uint32_t timeoutMs) {
    for (;;) {
        std::size_t lf = buffer_.find('\n');
        if (lf != std::string::npos) {
            bool tooLong = skipping_ || lf > maxLine_;
            line.assign(buffer_, 0, lf);
            buffer_.erase(0, lf + 1);
            skipping_ = false;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (tooLong) {
                line.clear();
                return Result::TooLong;
            }
            return Result::Line;
        }
        if (buffer_.size() > maxLine_) {
            buffer_.clear();
            skipping_ = true;
        }
        char chunk[1024];
        long got = socket_.receive(chunk, sizeof chunk, timeoutMs);
        if (got == kSocketTimeout) return Result::Timeout;
        if (got <= 0) return Result::Closed;
        buffer_.append(chunk, static_cast<std::size_t>(got));
    }
}

}  // namespace tarnix
