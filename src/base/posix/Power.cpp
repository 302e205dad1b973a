#include "base/Power.h"

namespace tarnix {
namespace {

// The native build runs only the core and its tests: nothing here may end the session.
class RefusingPower : public Power {
  public:
    bool exitWindows(unsigned) override { return false; }
};

}  // namespace

Power& systemPower() {
    static RefusingPower power;
    return power;
}

bool enableShutdownPrivilege() {
    return false;
}

}  // namespace tarnix
