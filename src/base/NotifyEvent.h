#pragma once
// An auto-reset event as the remote-access service signals it, and as the lab and test
// stand-ins of that service signal it: the dial side waits on it without knowing which.

#include <cstdint>

namespace tarnix {

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// Made by the RemoteAccess implementation, so the real service can signal it itself.
class NotifyEvent {
  public:
    virtual ~NotifyEvent() = default;
    virtual void set() = 0;
    // True when signalled within the time-out; a successful wait resets the event.
    virtual bool wait(std::uint32_t timeoutMs = kWaitForever) = 0;
};

}  // namespace tarnix
