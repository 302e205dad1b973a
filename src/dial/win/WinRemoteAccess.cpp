#include "dial/win/WinRemoteAccess.h"

#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include "store/CodePage.h"

namespace tarnix {
namespace {

// A kernel event, so the remote-access service can signal it directly.
class WinEvent : public NotifyEvent {
  public:
    WinEvent() : handle_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~WinEvent() override {
        if (handle_) CloseHandle(handle_);
    }
    void set() override { SetEvent(handle_); }
    bool wait(std::uint32_t timeoutMs) override {
        return WaitForSingleObject(handle_, timeoutMs == kWaitForever ? INFINITE : timeoutMs) ==
               WAIT_OBJECT_0;
    }
    HANDLE handle() const { return handle_; }

  private:
    HANDLE handle_;
};

HRASCONN toRas(ConnHandle h) {
    return reinterpret_cast<HRASCONN>(h);
}

}  // namespace

bool WinRemoteAccess::enumConnections(std::vector<ActiveConnection>& out, std::size_t room) {
    out.clear();
    if (room == 0) room = 1;
    std::vector<RASCONNW> conns(room);
    for (auto& c : conns) c.dwSize = sizeof(RASCONNW);
    DWORD bytes = static_cast<DWORD>(conns.size() * sizeof(RASCONNW));
    DWORD count = 0;
    DWORD rc = RasEnumConnectionsW(conns.data(), &bytes, &count);
    // More connections than room fails too, as the service reports it.
    if (rc != ERROR_SUCCESS) return false;
    for (DWORD i = 0; i < count && i < conns.size(); ++i) {
        // The service lists a connection from the start of its dial; it is up only once
        // its state says connected.
        RASCONNSTATUSW status{};
        status.dwSize = sizeof(status);
        const bool connected = RasGetConnectStatusW(conns[i].hrasconn, &status) == ERROR_SUCCESS &&
                               status.rasconnstate == RASCS_Connected;
        out.push_back({reinterpret_cast<ConnHandle>(conns[i].hrasconn),
                       wideToGb(conns[i].szEntryName), connected});
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
    return RasConnectionNotificationW(static_cast<HRASCONN>(INVALID_HANDLE_VALUE), win->handle(),
                                      RASCN_Connection) == ERROR_SUCCESS;
}

bool WinRemoteAccess::notifyDisconnection(ConnHandle handle,
                                          const std::shared_ptr<NotifyEvent>& event) {
    auto* win = dynamic_cast<WinEvent*>(event.get());
    if (!win) return false;
    RASCONNSTATUSW status{};
    status.dwSize = sizeof(status);
    if (RasGetConnectStatusW(toRas(handle), &status) == ERROR_INVALID_HANDLE) {
        win->set();  // already gone
        return true;
    }
    return RasConnectionNotificationW(toRas(handle), win->handle(), RASCN_Disconnection) ==
           ERROR_SUCCESS;
}

}  // namespace tarnix
