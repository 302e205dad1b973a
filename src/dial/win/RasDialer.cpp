#include "dial/win/RasDialer.h"

#include <raserror.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "dial/DialFailure.h"
#include "dial/win/RasCalls.h"

namespace tarnix {
namespace {

using SteadyClock = std::chrono::steady_clock;

// The service's own time-outs end a dial well before this; it only bounds a service that
// never reports.
constexpr auto kDialLimit = std::chrono::minutes(2);
// How long a hang-up waits for the service to let go of the handle. The service normally
// needs well under a second; some (Wine's among them) never report the end.
constexpr auto kHangUpWait = std::chrono::seconds(3);
// The port stays in use a while after the handle is gone; a dial before then fails.
constexpr auto kPortSettle = std::chrono::seconds(1);
// A dial that finds the port still in use this soon after a hang-up is tried once more.
constexpr auto kTransientWindow = std::chrono::seconds(3);

// The dials in flight, by the id the service hands back with their progress.
struct Progress {
    bool ended = false;
    DWORD error = 0;
    bool cancelled = false;
};
std::mutex dialsMutex;
std::condition_variable dialsChanged;
std::map<ULONG_PTR, Progress> dials;
ULONG_PTR nextId = 1;
// The last hang-up of the process, and when the port it held is free again.
SteadyClock::time_point lastHangUp;
SteadyClock::time_point portFreeAt;

// The port was still held by the connection before: another try may find it free.
bool portStillHeld(int error) {
    return error == ERROR_PORT_ALREADY_OPEN || error == ERROR_PORT_NOT_AVAILABLE ||
           error == ERROR_DIAL_ALREADY_IN_PROGRESS;
}

// Called by the service on its own thread; returning 0 ends the notifications.
DWORD WINAPI onProgress(ULONG_PTR id, DWORD, HRASCONN, UINT, RASCONNSTATE state, DWORD error,
                        DWORD) {
    if (error == 0 && state != RASCS_Connected && state != RASCS_Disconnected) return 1;
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        auto found = dials.find(id);
        if (found == dials.end()) return 0;  // given up already
        found->second.ended = true;
        found->second.error =
            error != 0 ? error : (state == RASCS_Connected ? 0 : ERROR_USER_DISCONNECTION);
    }
    dialsChanged.notify_all();
    return 0;
}

}  // namespace

// The state machine of a connection needs time to end after RasHangUp returns: its handle
// is released only once the service no longer knows it, and the port some time later.
// Waited for also when RasHangUp failed, which may mean the handle is on its way out.
void rasHangUp(HRASCONN conn) {
    RasHangUpW(conn);
    const auto until = SteadyClock::now() + kHangUpWait;
    RASCONNSTATE state;
    while (rasConnectState(conn, state) != ERROR_INVALID_HANDLE && SteadyClock::now() < until)
        Sleep(20);
    std::lock_guard<std::mutex> lock(dialsMutex);
    lastHangUp = SteadyClock::now();
    portFreeAt = std::max(portFreeAt, lastHangUp + kPortSettle);
}

DialOutcome RasDialer::dial(RASDIALPARAMSW& params, const std::wstring& phonebook) {
    SteadyClock::time_point hungUpBefore;
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        hungUpBefore = lastHangUp;
    }
    DialOutcome outcome = dialOnce(params, phonebook);
    // A port the last connection still held: told to the user only if it is still held on
    // the second try. The failed try's own hang-up does not count.
    if (portStillHeld(outcome.error) && hungUpBefore != SteadyClock::time_point{} &&
        SteadyClock::now() - hungUpBefore < kTransientWindow) {
        outcome = dialOnce(params, phonebook);
    }
    return outcome;
}

DialOutcome RasDialer::dialOnce(RASDIALPARAMSW& params, const std::wstring& phonebook) {
    ULONG_PTR id;
    {
        std::unique_lock<std::mutex> lock(dialsMutex);
        if (abandoned_) return {0, kDialErrorAbandoned};
        id = nextId++;
        dials[id] = {};
        // The port of the last connection is not free at once; a cancel ends the wait.
        dialsChanged.wait_until(lock, portFreeAt,
                                [&] { return dials[id].cancelled || abandoned_; });
        if (dials[id].cancelled || abandoned_) {
            dials.erase(id);
            return {0, kDialErrorAbandoned};
        }
    }
    params.dwCallbackId = id;
    HRASCONN conn = nullptr;
    const DWORD rc =
        RasDialW(nullptr, phonebook.empty() ? nullptr : phonebook.c_str(), &params, 2,
                 reinterpret_cast<LPVOID>(&onProgress), &conn);

    std::unique_lock<std::mutex> lock(dialsMutex);
    Progress progress{true, rc};
    if (rc == ERROR_SUCCESS) {
        const bool woken = dialsChanged.wait_for(lock, kDialLimit, [&] {
            return dials[id].ended || dials[id].cancelled || abandoned_;
        });
        progress = dials[id];
        if (!progress.ended || progress.cancelled)
            progress.error = woken ? kDialErrorAbandoned : kDialErrorNoAnswer;
    }
    dials.erase(id);
    lock.unlock();

    if (progress.error == 0) return {reinterpret_cast<ConnHandle>(conn), 0};
    // A failed dial may still have a handle that must be released; an abandoned one is the
    // link being made, which hanging up ends.
    if (conn) rasHangUp(conn);
    return {0, static_cast<int>(progress.error)};
}

void RasDialer::cancel() {
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        for (auto& dial : dials) dial.second.cancelled = true;
    }
    dialsChanged.notify_all();
}

bool RasDialer::abandoned() const {
    std::lock_guard<std::mutex> lock(dialsMutex);
    return abandoned_;
}

void RasDialer::abandon() {
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        abandoned_ = true;
    }
    dialsChanged.notify_all();
}

}  // namespace tarnix
