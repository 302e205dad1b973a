#pragma once
// How CConnectManage dials: over the real remote-access service, or over lab-ac.
// Chosen once, from LinkAgent.ini beside the program.

#include <functional>
#include <memory>
#include <string>

#include "dial/RemoteAccess.h"

namespace tarnix {

// How a dial ended: the new connection, or none and the remote-access error number
// (raserror.h) that says why.
struct DialOutcome {
    ConnHandle handle = 0;
    int error = 0;  // 0 when connected
};

class DialBackend {
  public:
    virtual ~DialBackend() = default;

    // Calls `onEntry` once per dial entry name, synchronously.
    virtual void enumEntries(const std::function<void(const std::string&)>& onEntry) = 0;
    // Dials synchronously. Returns within the backend's dial time-out whatever the peer
    // does; a failed dial always has an error.
    virtual DialOutcome dial(const std::string& user, const std::string& password,
                             const std::string& entry) = 0;
    // For the program's exit: a dial in progress on another thread ends soon (within about
    // a second) with kDialErrorAbandoned, releasing what it had made, and every later dial
    // fails so at once. Hang-ups still work.
    virtual void abandonDials() = 0;
    // For the user's disconnect: a dial in progress on another thread ends soon with
    // kDialErrorAbandoned, releasing what it had made; later dials go ahead. Backends whose
    // dials end quickly on their own may leave it out.
    virtual void cancelDials() {}
    // Hangs up and waits until the connection is gone, never longer than a few seconds.
    virtual void hangUp(ConnHandle handle) = 0;
    // Hangs up the links of `entry` that ended by themselves, which a service may keep
    // (holding the line) until then.
    virtual void releaseEnded(const std::string& entry) { (void)entry; }
    // True when the machine can reach a network.
    virtual bool networkReachable() = 0;
    // The remote-access view consistent with this backend's dials.
    virtual RemoteAccess& remoteAccess() = 0;
};

// The real remote-access service (on other platforms every dial fails).
std::unique_ptr<DialBackend> makeRasDialBackend();
using DialBackendMaker = std::unique_ptr<DialBackend> (*)();
// lab-ac at "host:port".
std::unique_ptr<DialBackend> makeLabDialBackend(const std::string& concentrator);
// A backend for an unknown mode: nothing to dial, no connections.
std::unique_ptr<DialBackend> makeNullDialBackend();

}  // namespace tarnix
