#pragma once
// Power: asks the system to log off, restart or shut down, behind a seam so that the
// scheduled shutdown can be tested without ending the test run.

namespace tarnix {

class Power {
  public:
    // The system's exit flags.
    static constexpr unsigned kLogOff = 0;
    static constexpr unsigned kReboot = 2;
    static constexpr unsigned kPowerOff = 8;

    virtual ~Power() = default;
    // False when the system refuses (for example without the shutdown privilege).
    virtual bool exitWindows(unsigned flags) = 0;
};

// The system's binding; on platforms without one it refuses every request.
Power& systemPower();

// Enables the shutdown privilege for this process, so that a restart or shutdown is not
// refused. False when it could not be enabled; callers go on all the same.
bool enableShutdownPrivilege();

}  // namespace tarnix
