#include <ctime>

#include "base/Clock.h"

namespace tarnix {
namespace {

class PosixClock : public Clock {
  public:
    LocalTime now() override {
        std::time_t seconds = std::time(nullptr);
        std::tm parts{};
        localtime_r(&seconds, &parts);
        return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    }
};

}  // namespace

Clock& systemClock() {
    static PosixClock clock;
    return clock;
}

}  // namespace tarnix
