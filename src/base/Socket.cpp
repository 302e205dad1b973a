// The parts of the socket wrapper that are the same on every platform.
#include "base/Socket.h"

namespace tarnix {

Socket::~Socket() {
    close();
}

Socket::Socket(Socket&& other) noexcept : handle_(other.handle_) {
    shut_ = other.shut_.load();
    other.handle_ = kInvalid;
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        shut_ = other.shut_.load();
        other.handle_ = kInvalid;
    }
    return *this;
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
