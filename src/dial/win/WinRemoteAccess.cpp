#include "dial/win/WinRemoteAccess.h"

#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <algorithm>

#include "base/CodePage.h"
#include "base/DialEntry.h"
#include "base/win/Scoped.h"
#include "dial/win/RasCalls.h"

namespace tarnix {
namespace {

// A kernel event, so the remote-access service can signal it directly.
class WinEvent : public NotifyEvent {
  public:
    WinEvent() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    void set() override { SetEvent(handle_.get()); }
    bool wait(std::uint32_t timeoutMs) override {
        return WaitForSingleObject(handle_.get(),
                                   timeoutMs == kWaitForever ? INFINITE : timeoutMs) ==
               WAIT_OBJECT_0;
    }
    HANDLE handle() const { return handle_.get(); }

  private:
    ScopedHandle handle_;
};

HRASCONN toRas(ConnHandle h) {
    return reinterpret_cast<HRASCONN>(h);
}

}  // namespace

// Every connection, sized as the service asks (a machine may carry more than ten: VPNs).
// A connection is up only once its state says connected. One that has ended stays listed
// until its handle is hung up; it counts as gone, as does one gone between the listing and
// its state. It is not hung up here: the window's thread lists too, and a hang-up waits
// for the service (the dial library releases ended links: CConnectManage::SetHrasconnNull).
bool WinRemoteAccess::enumConnections(std::vector<ActiveConnection>& out, std::size_t) {
    out.clear();
    std::vector<RasConnRow> rows;
    if (rasListConnections(rows) != ERROR_SUCCESS) return false;
    for (const auto& row : rows) {
        RASCONNSTATE state = RASCS_OpenPort;
        const DWORD rc = rasConnectState(row.handle, state);
        if (rc == ERROR_INVALID_HANDLE) continue;
        if (rc == ERROR_SUCCESS && state == RASCS_Disconnected) continue;
        out.push_back({reinterpret_cast<ConnHandle>(row.handle), wideToGb(row.entry),
                       rc == ERROR_SUCCESS && state == RASCS_Connected});
    }
    return true;
}

bool WinRemoteAccess::ipAddress(ConnHandle handle, std::string& address) {
    RASPPPIPW ip{};
    ip.dwSize = sizeof(ip);
    DWORD bytes = sizeof(ip);
    if (RasGetProjectionInfoW(toRas(handle), RASP_PppIp, &ip, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    if (ip.dwError != 0) return false;
    address = wideToGb(ip.szIpAddress);
    return true;
}

bool WinRemoteAccess::statistics(ConnHandle handle, LinkStatistics& stats) {
    RAS_STATS s{};
    s.dwSize = sizeof(s);
    if (RasGetConnectionStatistics(toRas(handle), &s) != ERROR_SUCCESS) return false;
    stats.bytesSent = s.dwBytesXmited;
    stats.bytesReceived = s.dwBytesRcved;
    stats.connectDurationMs = s.dwConnectDuration;
    stats.bitsPerSecond = s.dwBps;
    return true;
}

bool WinRemoteAccess::enumDevices(std::vector<RasDevice>& out) {
    out.clear();
    DWORD bytes = 0, count = 0;
    DWORD rc = RasEnumDevicesW(nullptr, &bytes, &count);
    if (rc != ERROR_BUFFER_TOO_SMALL && rc != ERROR_SUCCESS) return false;
    if (bytes == 0) return true;
    std::vector<RASDEVINFOW> devices(bytes / sizeof(RASDEVINFOW) + 1);
    devices[0].dwSize = sizeof(RASDEVINFOW);
    bytes = static_cast<DWORD>(devices.size() * sizeof(RASDEVINFOW));
    if (RasEnumDevicesW(devices.data(), &bytes, &count) != ERROR_SUCCESS) return false;
    for (DWORD i = 0; i < count && i < devices.size(); ++i) {
        out.push_back({wideToGb(devices[i].szDeviceType), wideToGb(devices[i].szDeviceName)});
    }
    return true;
}

std::shared_ptr<NotifyEvent> WinRemoteAccess::createEvent() {
    auto event = std::make_shared<WinEvent>();
    if (!event->handle()) return nullptr;
    return event;
}

bool WinRemoteAccess::notifyConnection(const std::shared_ptr<NotifyEvent>& event) {
    auto* win = dynamic_cast<WinEvent*>(event.get());
    if (!win) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    registered_.erase(std::remove_if(registered_.begin(), registered_.end(),
                                     [](const auto& r) { return r.expired(); }),
                      registered_.end());
    for (const auto& r : registered_)
        if (r.lock() == event) return true;
    if (RasConnectionNotificationW(static_cast<HRASCONN>(INVALID_HANDLE_VALUE), win->handle(),
                                   RASCN_Connection) != ERROR_SUCCESS) {
        return false;
    }
    registered_.push_back(event);
    return true;
}

// A link that has already ended is told at once: the service would never signal an end
// that came before the registration.
bool WinRemoteAccess::notifyDisconnection(ConnHandle handle,
                                          const std::shared_ptr<NotifyEvent>& event) {
    auto* win = dynamic_cast<WinEvent*>(event.get());
    if (!win) return false;
    RASCONNSTATE state = RASCS_OpenPort;
    const DWORD rc = rasConnectState(toRas(handle), state);
    if (rc == ERROR_INVALID_HANDLE || (rc == ERROR_SUCCESS && state == RASCS_Disconnected)) {
        win->set();
        return true;
    }
    return RasConnectionNotificationW(toRas(handle), win->handle(), RASCN_Disconnection) ==
           ERROR_SUCCESS;
}

}  // namespace tarnix
