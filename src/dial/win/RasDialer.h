#pragma once
// One RasDial, waited for by the calling thread, that another thread can abandon. The dial
// runs asynchronously: the service tells its progress on a thread of its own, so the
// connection's handle is known from the start and hanging it up ends the dial at once,
// where a synchronous RasDial could only be waited out.
#include <windows.h>
#include <ras.h>

#include <string>

#include "dial/DialBackend.h"

namespace tarnix {

class RasDialer {
  public:
    // Dials `params` from `phonebook` (its dwCallbackId is set here), once the port of the
    // last connection hung up is free; a dial that still finds it in use soon after a
    // hang-up is tried once more. A failed, cancelled or abandoned dial's handle is hung up
    // before this returns.
    DialOutcome dial(RASDIALPARAMSW& params, const std::wstring& phonebook);
    // Ends the dials in progress now (the user disconnected) with kDialErrorAbandoned;
    // later dials go ahead.
    void cancel();
    // Ends the dial in progress, and every later one at once, with kDialErrorAbandoned.
    void abandon();
    bool abandoned() const;

  private:
    DialOutcome dialOnce(RASDIALPARAMSW& params, const std::wstring& phonebook);

    bool abandoned_ = false;  // guarded by the lock of the dials in flight (the .cpp's)
};

// The one way a handle is hung up: RasHangUp, then waits until the service no longer knows
// the connection (at most 3 s); the next dial waits for the port it held.
void rasHangUp(HRASCONN conn);

}  // namespace tarnix
