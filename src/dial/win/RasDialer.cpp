#include "dial/win/RasDialer.h"

#include <raserror.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "dial/DialFailure.h"
#include "dial/win/RasCalls.h"

namespace tarnix {
namespace {

// The service's own time-outs end a dial well before this; it only bounds a service that
// never reports.
constexpr auto kDialLimit = std::chrono::minutes(2);
// A dial given up at exit is hung up without waiting long for the service to confirm.
constexpr DWORD kAbandonWaitMs = 1000;
constexpr DWORD kHangUpWaitMs = 3000;

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

void rasHangUp(HRASCONN conn, DWORD waitMs) {
    if (RasHangUpW(conn) != ERROR_SUCCESS) return;
    RASCONNSTATE state;
    for (DWORD waited = 0; waited < waitMs; waited += 50) {
        if (rasConnectState(conn, state) == ERROR_INVALID_HANDLE) return;
        Sleep(50);
    }
}

DialOutcome RasDialer::dial(RASDIALPARAMSW& params, const std::wstring& phonebook) {
    ULONG_PTR id;
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        if (abandoned_) return {0, kDialErrorAbandoned};
        id = nextId++;
        dials[id] = {};
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
    const bool gaveUp = abandoned_ || progress.cancelled;
    lock.unlock();

    if (progress.error == 0) return {reinterpret_cast<ConnHandle>(conn), 0};
    // A failed dial may still have a handle that must be released; an abandoned one is the
    // link being made, which hanging up ends.
    if (conn) rasHangUp(conn, gaveUp ? kAbandonWaitMs : kHangUpWaitMs);
    return {0, static_cast<int>(progress.error)};
}

void RasDialer::cancel() {
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        for (auto& dial : dials) dial.second.cancelled = true;
    }
    dialsChanged.notify_all();
}

void RasDialer::abandon() {
    {
        std::lock_guard<std::mutex> lock(dialsMutex);
        abandoned_ = true;
    }
    dialsChanged.notify_all();
}

}  // namespace tarnix
