#pragma once
// The stand-in's line to lab-ac: one request per TCP connection, and one watching
// connection that reports sessions going down. Self-contained Winsock (this DLL must not
// link the client's libraries, which import the real rasapi32).
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dial/lab/LabFields.h"

namespace standin {

struct LabReply {
    std::vector<std::vector<std::string>> lines;  // fields still encoded
    bool complete = false;
    // The RAS error of an ERR reply; 678 for no reply at all; 0 for success.
    int error() const;
};

// The protocol's fields, coded as the client codes them.
using tarnix::lab::encodeField;
using tarnix::lab::decodeField;

// A socket that another thread may shut down to end a request in progress.
struct CancelSlot {
    SOCKET socket = INVALID_SOCKET;
    bool cancelled = false;
};

// Sends `line` (LF added) to lab-ac and reads its reply. `slot`, when given, is filled
// with the socket under `guard` so RasHangUp can end the request.
LabReply labRequest(const std::string& line, DWORD timeoutMs, CancelSlot* slot = nullptr,
                    CRITICAL_SECTION* guard = nullptr);

// Where lab-ac listens (TARNIX_STANDIN_AC, "host:port"); false when not set.
bool labEndpoint(std::string& host, std::uint16_t& port);

// Keeps a WATCH connection to lab-ac; calls `onDown(handle)` for each session that ends
// and `onLost()` when the watch breaks. start() returns once the watch stands (or failed).
class LabWatch {
  public:
    bool ensure(const std::function<void(std::uint64_t)>& onDown,
                const std::function<void()>& onLost);

  private:
    static DWORD WINAPI run(void* self);
    std::function<void(std::uint64_t)> onDown_;
    std::function<void()> onLost_;
    SOCKET socket_ = INVALID_SOCKET;
    volatile LONG up_ = 0;
    HANDLE ready_ = nullptr;
};

}  // namespace standin
