#pragma once
// Keeps what the program asked of the system's power instead of asking it.
#include <vector>

#include "base/Power.h"

namespace tarnix::testing {

class RecordingPower : public Power {
  public:
    bool exitWindows(unsigned flags) override {
        calls.push_back(flags);
        return accept;
    }
    std::vector<unsigned> calls;
    bool accept = true;  // false: the system refuses
};

}  // namespace tarnix::testing
