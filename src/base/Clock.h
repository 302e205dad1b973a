#pragma once
// Local wall-clock time, behind a seam so that record files and schedules can be tested
// at any date.

#include <string>

namespace tarnix {

struct LocalTime {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
};

// The machine's local time: the OS layer's binding, which the program hands to the core.
Clock& systemClock();

// "2009-03-01 08:05:09": the form every file of the client stores times in.
std::string formatTime(const LocalTime& time);

}  // namespace tarnix
