#include <windows.h>

#include "base/Clock.h"

namespace tarnix {
namespace {

// GetLocalTime follows the system's time zone whatever the C runtime's TZ says.
class WinClock : public Clock {
  public:
    LocalTime now() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    }
};

}  // namespace

Clock& systemClock() {
    static WinClock clock;
    return clock;
}

}  // namespace tarnix
