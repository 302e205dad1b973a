#pragma once
// The sessions of the lab access concentrator, without the network: dials checked
// against the accounts, addresses from the pool, traffic counted at a steady rate,
// refusals and drops asked for by the administrator. Not thread-safe; the server locks.

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Accounts.h"
#include "AddressPool.h"
#include "dial/lab/LabProtocol.h"

namespace tarnix::labac {

using lab::SessionInfo;

struct Rates {
    std::uint64_t sendBytesPerSecond = 2000;
    std::uint64_t receiveBytesPerSecond = 8000;
    std::uint64_t lineBitsPerSecond = 10000000;  // what the link reports as its speed
};

struct DialResult {
    int error = 0;  // a RAS error number; 0 when the session is up
    std::string reason;
    SessionInfo session;
};

class Concentrator {
  public:
    using Clock = std::chrono::steady_clock;

    // Handles count up from `handleBase`, so a base taken from the clock keeps them
    // from repeating across restarts.
    Concentrator(Accounts accounts, AddressPool pool, Rates rates, std::uint64_t handleBase);

    DialResult dial(const std::string& account, const std::string& password,
                    const std::string& entry);
    // False when no such session is up.
    bool hangUp(std::uint64_t handle);
    std::vector<SessionInfo> sessions() const;
    bool session(std::uint64_t handle, SessionInfo& info) const;
    // `selector`: "all", a handle, or an account name. Returns the sessions ended.
    std::vector<SessionInfo> drop(const std::string& selector);
    // The next `count` dials fail with `error` before any account check.
    void refuseNext(unsigned count, int error);
    // Applies to every session from now on; the bytes counted so far stay.
    void setRates(std::uint64_t sendBytesPerSecond, std::uint64_t receiveBytesPerSecond);
    Rates rates() const { return rates_; }

  private:
    struct Live {
        SessionInfo info;
        Clock::time_point started;
        Clock::time_point countedUntil;  // counters below hold the bytes up to here
        std::uint64_t sent = 0;
        std::uint64_t received = 0;
    };
    SessionInfo snapshot(const Live& live, Clock::time_point now) const;
    void end(std::map<std::uint64_t, Live>::iterator it);

    Accounts accounts_;
    AddressPool pool_;
    Rates rates_;
    std::uint64_t nextHandle_;
    unsigned refusals_ = 0;
    int refusalError_ = lab::kErrorNoAnswer;
    std::map<std::uint64_t, Live> live_;  // ordered by handle, that is by dial time
};

// A handle base from the wall clock: a thousand handles per millisecond of uptime
// before a restarted lab-ac could meet an old one.
std::uint64_t handleBaseFromClock();

}  // namespace tarnix::labac
