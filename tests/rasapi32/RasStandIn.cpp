// A rasapi32.dll for tests: the remote-access calls the client makes, with the documented
// semantics, over lab-ac's sessions. Wine loads it instead of its own (which has no
// service behind it) when WINEDLLOVERRIDES says rasapi32=n,b and it lies beside the
// program. Never shipped.
//
// Environment: TARNIX_STANDIN_AC=host:port (lab-ac), TARNIX_STANDIN_SETUP=commands
// separated by ';' (the commands of TarnixStandIn, applied on first use).
// The system ("all users") phonebook is system.pbk beside this DLL, writable only with
// "admin 1"; a per-user phonebook is whatever path the caller names.
#include <winsock2.h>
#include <windows.h>
#include <ras.h>
#include <raserror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "LabLink.h"
#include "dial/win/RasLayouts.h"

namespace {

using namespace standin;
namespace layout = tarnix::raslayout;

constexpr DWORD kProjectionNotComplete = 730;  // the projection is not yet complete
// After RasHangUp returns, the service still knows the handle a moment (RasGetConnectStatus
// answers until it lets go) and keeps the port a while longer: a dial meanwhile finds the
// port in use, as the RasHangUp documentation warns.
constexpr ULONGLONG kHandleLingersMs = 600;
constexpr ULONGLONG kPortBusyMs = 1500;

// Which structure versions the service speaks: a current Windows (the newest and every
// older one, as Windows keeps taking the layouts of the systems before it), or an old one
// (only the headers' layouts).
enum class Sizes { Current, Old };

struct Conn {
    HRASCONN handle = nullptr;
    std::wstring entry, phonebook;
    RASCONNSTATE state = RASCS_OpenPort;
    DWORD error = 0;
    std::uint64_t lab = 0;  // lab-ac's session, once connected
    std::string ip;
    CancelSlot dial;
    bool other = false;  // a connection of another program (a VPN), not lab-ac's
    bool portOpened = false;
    ULONGLONG goneAt = 0;  // after a hang-up: when the service lets go of the handle
    std::vector<HANDLE> onEnd;
};
using ConnPtr = std::shared_ptr<Conn>;

struct Fault {
    DWORD error = 0;
    int times = 0;  // -1: always
};

struct State {
    State() {
        InitializeCriticalSection(&lock);
    }
    CRITICAL_SECTION lock;
    std::vector<ConnPtr> conns;  // listing order
    std::vector<ConnPtr> closing;  // hung up, the handle not yet let go
    ULONGLONG portFreeAt = 0;
    std::vector<HANDLE> onConnect, onAnyEnd;
    LONG connectRegistrations = 0;
    std::map<std::string, Fault> faults;
    Sizes sizes = Sizes::Current;
    bool notify = true;
    bool admin = false;
    int devices = 1;
    int vanish = 0;
    std::uintptr_t nextHandle = 0x7a000;
    LabWatch watch;
    bool setUp = false;
};

State& state();

class Guard {
  public:
    Guard() { EnterCriticalSection(&state().lock); }
    ~Guard() { LeaveCriticalSection(&state().lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

DWORD control(const std::string& command);

State& state() {
    static State* s = [] {
        auto* made = new State;  // lives as long as the process: service threads use it
        return made;
    }();
    if (!s->setUp) {
        s->setUp = true;
        char setup[1024];
        DWORD n = GetEnvironmentVariableA("TARNIX_STANDIN_SETUP", setup, sizeof setup);
        if (n > 0 && n < sizeof setup) {
            std::stringstream commands(std::string(setup, n));
            std::string command;
            while (std::getline(commands, command, ';')) control(command);
        }
    }
    return *s;
}

DWORD injected(const char* function) {
    Guard guard;
    auto found = state().faults.find(function);
    if (found == state().faults.end() || found->second.times == 0) return 0;
    if (found->second.times > 0) --found->second.times;
    return found->second.error;
}

template <std::size_t N>
bool accepts(DWORD size, const DWORD (&sizes)[N]) {
    if (state().sizes == Sizes::Old) return size == sizes[N - 1];
    return std::find(std::begin(sizes), std::end(sizes), size) != std::end(sizes);
}

template <std::size_t N>
DWORD spokenSize(const DWORD (&sizes)[N]) {
    return state().sizes == Sizes::Old ? sizes[N - 1] : sizes[0];
}

void copyTo(WCHAR* field, std::size_t capacity, const std::wstring& text) {
    std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), n * sizeof(WCHAR));
    field[n] = L'\0';
}

std::string toGb(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

ConnPtr find(HRASCONN handle) {
    Guard guard;
    for (auto& c : state().conns)
        if (c->handle == handle) return c;
    return nullptr;
}

// A connection hung up whose handle the service still knows.
ConnPtr closingConn(HRASCONN handle) {
    Guard guard;
    auto& closing = state().closing;
    const ULONGLONG now = GetTickCount64();
    closing.erase(std::remove_if(closing.begin(), closing.end(),
                                 [&](const ConnPtr& c) { return c->goneAt <= now; }),
                  closing.end());
    for (auto& c : closing)
        if (c->handle == handle) return c;
    return nullptr;
}

// A connection that vanishes between the listing and the query (a test asks for it).
bool vanished() {
    Guard guard;
    if (state().vanish <= 0) return false;
    --state().vanish;
    return true;
}

void signal(const std::vector<HANDLE>& events) {
    if (!state().notify) return;
    for (HANDLE e : events) SetEvent(e);
}

// ---- lab-ac's side -----------------------------------------------------------------

void sessionEnded(std::uint64_t lab, DWORD error) {
    std::vector<HANDLE> fire;
    {
        Guard guard;
        for (auto& c : state().conns) {
            if (c->other || c->lab != lab || c->state != RASCS_Connected) continue;
            // The handle stays valid, and listed, until it is hung up.
            c->state = RASCS_Disconnected;
            c->error = error;
            fire.insert(fire.end(), c->onEnd.begin(), c->onEnd.end());
            fire.insert(fire.end(), state().onAnyEnd.begin(), state().onAnyEnd.end());
        }
    }
    signal(fire);
}

void watchLost() {
    std::vector<std::uint64_t> ended;
    {
        Guard guard;
        for (auto& c : state().conns)
            if (!c->other && c->state == RASCS_Connected) ended.push_back(c->lab);
    }
    for (auto lab : ended) sessionEnded(lab, ERROR_PORT_DISCONNECTED);
}

bool ensureWatch() {
    return state().watch.ensure([](std::uint64_t lab) { sessionEnded(lab, ERROR_REMOTE_DISCONNECTION); },
                                &watchLost);
}

struct Notifier {
    DWORD type = 0;
    void* function = nullptr;
    ULONG_PTR callbackId = 0;
    bool stopped = false;

    void report(HRASCONN handle, RASCONNSTATE s, DWORD error) {
        if (!function || stopped) return;
        switch (type) {
            case 0:
                reinterpret_cast<RASDIALFUNC>(function)(WM_RASDIALEVENT, s, error);
                break;
            case 1:
                reinterpret_cast<RASDIALFUNC1>(function)(handle, WM_RASDIALEVENT, s, error, 0);
                break;
            case 2:
                stopped = reinterpret_cast<RASDIALFUNC2>(function)(callbackId, 0, handle,
                                                                    WM_RASDIALEVENT, s, error,
                                                                    0) == 0;
                break;
        }
    }
};

struct DialJob {
    ConnPtr conn;
    std::string user, password;
    Notifier notifier;
};

void setState(const ConnPtr& c, RASCONNSTATE s) {
    Guard guard;
    if (c->state != RASCS_Disconnected) c->state = s;
}

// The PPPoE port is held by a connection that ended but was not hung up, and for a while
// after a hang-up. Under the lock.
bool portHeld(const ConnPtr& dialling) {
    if (GetTickCount64() < state().portFreeAt) return true;
    return std::any_of(state().conns.begin(), state().conns.end(), [&](const ConnPtr& c) {
        return c != dialling && !c->other && c->portOpened && c->state == RASCS_Disconnected;
    });
}

DWORD runDial(DialJob& job) {
    ConnPtr c = job.conn;
    bool held;
    {
        Guard guard;
        held = portHeld(c);
        if (held) {
            c->state = RASCS_Disconnected;
            c->error = ERROR_PORT_NOT_AVAILABLE;
        } else {
            c->portOpened = true;
        }
    }
    if (held) {
        job.notifier.report(c->handle, RASCS_OpenPort, ERROR_PORT_NOT_AVAILABLE);
        return ERROR_PORT_NOT_AVAILABLE;
    }
    job.notifier.report(c->handle, RASCS_OpenPort, 0);
    setState(c, RASCS_ConnectDevice);
    job.notifier.report(c->handle, RASCS_ConnectDevice, 0);
    ensureWatch();
    setState(c, RASCS_Authenticate);
    job.notifier.report(c->handle, RASCS_Authenticate, 0);
    const std::string line = "DIAL " + encodeField(job.user) + " " + encodeField(job.password) +
                             " " + encodeField(toGb(c->entry));
    LabReply reply = labRequest(line, 60000, &c->dial, &state().lock);
    std::uint64_t orphan = 0;
    DWORD error = 0;
    std::vector<HANDLE> fire;
    {
        Guard guard;
        const bool ok = reply.complete && reply.error() == 0 && reply.lines.back().size() >= 3;
        if (c->dial.cancelled) {
            error = ERROR_USER_DISCONNECTION;
            if (ok) orphan = std::strtoull(reply.lines.back()[1].c_str(), nullptr, 10);
        } else if (ok) {
            c->lab = std::strtoull(reply.lines.back()[1].c_str(), nullptr, 10);
            decodeField(reply.lines.back()[2], c->ip);
            c->state = RASCS_Connected;
            fire = state().onConnect;
        } else {
            error = static_cast<DWORD>(reply.error());
        }
        if (error != 0) {
            c->state = RASCS_Disconnected;
            c->error = error;
        }
    }
    // Hung up while lab-ac answered: the session it made goes too.
    if (orphan) labRequest("HANGUP " + std::to_string(orphan), 3000);
    signal(fire);
    job.notifier.report(c->handle, error ? RASCS_Authenticate : RASCS_Connected, error);
    return error;
}

DWORD WINAPI dialThread(void* param) {
    std::unique_ptr<DialJob> job(static_cast<DialJob*>(param));
    runDial(*job);
    return 0;
}

// ---- phonebooks --------------------------------------------------------------------

std::wstring dllFolder() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&dllFolder), &self);
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring systemPhonebook() {
    return dllFolder() + L"\\system.pbk";
}

std::wstring phonebookOf(LPCWSTR given) {
    return given && *given ? std::wstring(given) : systemPhonebook();
}

bool isFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring readKey(const std::wstring& book, const std::wstring& entry, const wchar_t* key) {
    wchar_t value[512];
    DWORD n = GetPrivateProfileStringW(entry.c_str(), key, L"\x01", value, 512, book.c_str());
    return std::wstring(value, n);
}

bool hasEntry(const std::wstring& book, const std::wstring& entry) {
    return isFile(book) && readKey(book, entry, L"DEVICE") != L"\x01";
}

std::vector<std::wstring> entriesOf(const std::wstring& book) {
    std::vector<std::wstring> names;
    if (!isFile(book)) return names;
    std::vector<wchar_t> buffer(32768);
    DWORD n = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()),
                                             book.c_str());
    for (const wchar_t* p = buffer.data(); p < buffer.data() + n && *p; p += wcslen(p) + 1)
        names.emplace_back(p);
    return names;
}

std::wstring userPhonebook() {
    wchar_t appData[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(appData, n) + L"\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
}

bool validName(LPCWSTR name) {
    if (!name || !*name || wcslen(name) > RAS_MaxEntryName || name[0] == L'.') return false;
    for (const wchar_t* p = name; *p; ++p)
        if (*p < 32 || wcschr(L"\\/:*?\"<>|[]", *p)) return false;
    return true;
}

std::wstring number(DWORD value) {
    return std::to_wstring(value);
}

DWORD readNumber(const std::wstring& book, const std::wstring& entry, const wchar_t* key) {
    return static_cast<DWORD>(wcstoul(readKey(book, entry, key).c_str(), nullptr, 10));
}

// ---- control ------------------------------------------------------------------------

DWORD control(const std::string& command) {
    std::istringstream in(command);
    std::string verb, a, b, c;
    in >> verb >> a >> b >> c;
    State& s = state();
    Guard guard;
    if (verb == "reset") {
        s.faults.clear();
        s.sizes = Sizes::Current;
        s.notify = true;
        s.admin = false;
        s.devices = 1;
        s.vanish = 0;
        s.portFreeAt = 0;
        s.closing.clear();
        s.conns.erase(std::remove_if(s.conns.begin(), s.conns.end(),
                                     [](const ConnPtr& p) { return p->other; }),
                      s.conns.end());
    } else if (verb == "fail") {
        s.faults[a] = {static_cast<DWORD>(std::atoi(b.c_str())), c.empty() ? 1 : std::atoi(c.c_str())};
    } else if (verb == "sizes") {
        s.sizes = a == "old" ? Sizes::Old : Sizes::Current;
    } else if (verb == "notify") {
        s.notify = a != "off";
    } else if (verb == "admin") {
        s.admin = a == "1";
    } else if (verb == "devices") {
        s.devices = std::atoi(a.c_str());
    } else if (verb == "vanish") {
        s.vanish = std::atoi(a.c_str());
    } else if (verb == "others") {
        // Connections of other programs (VPNs), listed before any of ours.
        for (int i = std::atoi(a.c_str()); i > 0; --i) {
            auto other = std::make_shared<Conn>();
            other->handle = reinterpret_cast<HRASCONN>(s.nextHandle += 0x10);
            other->entry = L"VPN " + std::to_wstring(i);
            other->state = RASCS_Connected;
            other->other = true;
            s.conns.insert(s.conns.begin(), other);
        }
    } else if (verb == "registrations") {
        return static_cast<DWORD>(s.connectRegistrations);
    } else if (verb == "listed") {
        return static_cast<DWORD>(s.conns.size());
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    return 0;
}

}  // namespace

extern "C" {

// Test control: "reset", "fail <function> <error> [times|-1]", "sizes current|old",
// "notify on|off", "admin 0|1", "devices N", "vanish N", "others N"; "registrations" and
// "listed" answer a count.
__declspec(dllexport) DWORD WINAPI TarnixStandIn(const char* command) {
    return command ? control(command) : ERROR_INVALID_PARAMETER;
}

DWORD WINAPI RasDialW(LPRASDIALEXTENSIONS, LPCWSTR phonebook, LPRASDIALPARAMSW params,
                      DWORD notifierType, LPVOID notifier, LPHRASCONN result) {
    if (DWORD e = injected("RasDialW")) return e;
    if (!params || !result) return ERROR_INVALID_PARAMETER;
    if (params->dwSize < offsetof(RASDIALPARAMSW, dwSubEntry)) return ERROR_INVALID_SIZE;
    if (notifier && notifierType > 2) return ERROR_INVALID_PARAMETER;
    const std::wstring book = phonebookOf(phonebook);
    const std::wstring entry = params->szEntryName;
    if (isFolder(book)) return ERROR_CANNOT_OPEN_PHONEBOOK;
    if (!hasEntry(book, entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    // The machine has PPPoE devices only: an entry made for a modem finds none.
    if (_wcsicmp(readKey(book, entry, L"DEVICE").c_str(), L"PPPoE") != 0 || state().devices <= 0)
        return ERROR_DEVICE_DOES_NOT_EXIST;
    auto c = std::make_shared<Conn>();
    c->entry = entry;
    c->phonebook = book;
    {
        Guard guard;
        c->handle = reinterpret_cast<HRASCONN>(state().nextHandle += 0x10);
        state().conns.push_back(c);
    }
    *result = c->handle;
    auto job = std::make_unique<DialJob>();
    job->conn = c;
    job->user = toGb(params->szUserName);
    job->password = toGb(params->szPassword);
    if (!notifier) return runDial(*job);
    job->notifier = {notifierType, notifier,
                     params->dwSize > offsetof(RASDIALPARAMSW, dwCallbackId) ? params->dwCallbackId
                                                                              : 0};
    HANDLE thread = CreateThread(nullptr, 0, &dialThread, job.get(), 0, nullptr);
    if (!thread) return ERROR_NOT_ENOUGH_MEMORY;
    job.release();
    CloseHandle(thread);
    return 0;
}

DWORD WINAPI RasHangUpW(HRASCONN handle) {
    if (DWORD e = injected("RasHangUpW")) return e;
    ConnPtr c = find(handle);
    if (!c) return ERROR_INVALID_HANDLE;
    std::uint64_t lab = 0;
    std::vector<HANDLE> fire;
    {
        Guard guard;
        if (c->state != RASCS_Connected && c->state != RASCS_Disconnected) {
            // Being dialled: the dial ends, and lab-ac withdraws it.
            c->dial.cancelled = true;
            if (c->dial.socket != INVALID_SOCKET) shutdown(c->dial.socket, SD_BOTH);
        }
        if (c->state == RASCS_Connected) {
            lab = c->lab;
            fire = c->onEnd;
            fire.insert(fire.end(), state().onAnyEnd.begin(), state().onAnyEnd.end());
        }
        c->state = RASCS_Disconnected;
        auto& all = state().conns;
        all.erase(std::remove(all.begin(), all.end(), c), all.end());
        const ULONGLONG now = GetTickCount64();
        c->goneAt = now + kHandleLingersMs;
        state().closing.push_back(c);
        if (c->portOpened) state().portFreeAt = std::max(state().portFreeAt, now + kPortBusyMs);
    }
    if (lab) labRequest("HANGUP " + std::to_string(lab), 3000);
    signal(fire);
    return 0;
}

DWORD WINAPI RasGetConnectStatusW(HRASCONN handle, LPRASCONNSTATUSW status) {
    if (DWORD e = injected("RasGetConnectStatusW")) return e;
    if (!status) return ERROR_INVALID_PARAMETER;
    ConnPtr c = find(handle);
    if (!c) c = closingConn(handle);
    if (!c || vanished()) return ERROR_INVALID_HANDLE;
    if (!accepts(status->dwSize, layout::kConnStatusSizes)) return ERROR_INVALID_SIZE;
    Guard guard;
    status->rasconnstate = c->state;
    status->dwError = c->state == RASCS_Disconnected ? c->error : 0;
    copyTo(status->szDeviceType, RAS_MaxDeviceType + 1, c->other ? L"vpn" : L"PPPoE");
    copyTo(status->szDeviceName, RAS_MaxDeviceName + 1, L"WAN Miniport (PPPOE)");
    status->szPhoneNumber[0] = L'\0';
    return 0;
}

DWORD WINAPI RasEnumConnectionsW(LPRASCONNW conns, LPDWORD bytes, LPDWORD count) {
    if (DWORD e = injected("RasEnumConnectionsW")) {
        if (e == ERROR_BUFFER_TOO_SMALL && bytes && count) {
            // Asks for more room than is needed, as a listing that grew meanwhile would.
            *bytes = static_cast<DWORD>((state().conns.size() + 1) * spokenSize(layout::kConnSizes));
            *count = static_cast<DWORD>(state().conns.size() + 1);
        }
        return e;
    }
    if (!bytes || !count) return ERROR_INVALID_PARAMETER;
    const DWORD size = conns ? conns->dwSize : spokenSize(layout::kConnSizes);
    if (conns && !accepts(size, layout::kConnSizes)) return ERROR_INVALID_SIZE;
    Guard guard;
    const auto& all = state().conns;
    const DWORD need = static_cast<DWORD>(all.size()) * size;
    *count = static_cast<DWORD>(all.size());
    if (!conns || *bytes < need) {
        *bytes = need;
        return all.empty() && conns ? 0 : ERROR_BUFFER_TOO_SMALL;
    }
    *bytes = need;
    auto* out = reinterpret_cast<BYTE*>(conns);
    for (std::size_t i = 0; i < all.size(); ++i) {
        auto* row = reinterpret_cast<RASCONNW*>(out + i * size);
        std::memset(row, 0, size);
        row->dwSize = size;
        row->hrasconn = all[i]->handle;
        copyTo(row->szEntryName, RAS_MaxEntryName + 1, all[i]->entry);
        copyTo(row->szDeviceType, RAS_MaxDeviceType + 1, all[i]->other ? L"vpn" : L"PPPoE");
        copyTo(row->szDeviceName, RAS_MaxDeviceName + 1, L"WAN Miniport (PPPOE)");
        copyTo(row->szPhonebook, MAX_PATH, all[i]->phonebook);
    }
    return 0;
}

DWORD WINAPI RasGetProjectionInfoW(HRASCONN handle, RASPROJECTION projection, LPVOID data,
                                   LPDWORD bytes) {
    if (DWORD e = injected("RasGetProjectionInfoW")) return e;
    ConnPtr c = find(handle);
    if (!c || vanished()) return ERROR_INVALID_HANDLE;
    if (!data || !bytes) return ERROR_INVALID_PARAMETER;
    if (projection != RASP_PppIp) return ERROR_PROTOCOL_NOT_CONFIGURED;
    auto* ip = static_cast<RASPPPIPW*>(data);
    if (ip->dwSize != sizeof(RASPPPIPW)) return ERROR_INVALID_SIZE;
    if (*bytes < sizeof(RASPPPIPW)) {
        *bytes = sizeof(RASPPPIPW);
        return ERROR_BUFFER_TOO_SMALL;
    }
    Guard guard;
    if (c->state != RASCS_Connected) return kProjectionNotComplete;
    ip->dwError = 0;
    std::wstring address(c->ip.begin(), c->ip.end());
    copyTo(ip->szIpAddress, RAS_MaxIpAddress + 1, address);
    copyTo(ip->szServerIpAddress, RAS_MaxIpAddress + 1, L"10.64.0.1");
    ip->dwOptions = ip->dwServerOptions = 0;
    return 0;
}

DWORD WINAPI RasGetConnectionStatistics(HRASCONN handle, RAS_STATS* stats) {
    if (DWORD e = injected("RasGetConnectionStatistics")) return e;
    ConnPtr c = find(handle);
    if (!c || vanished()) return ERROR_INVALID_HANDLE;
    if (!stats) return ERROR_INVALID_PARAMETER;
    if (stats->dwSize != sizeof(RAS_STATS)) return ERROR_INVALID_SIZE;
    std::uint64_t lab;
    {
        Guard guard;
        lab = c->state == RASCS_Connected ? c->lab : 0;
    }
    std::memset(reinterpret_cast<BYTE*>(stats) + sizeof(DWORD), 0, sizeof(RAS_STATS) - sizeof(DWORD));
    if (!lab) return 0;
    LabReply reply = labRequest("STATS " + std::to_string(lab), 3000);
    if (reply.error() != 0 || reply.lines.size() < 2 || reply.lines[0].size() < 9)
        return ERROR_INVALID_HANDLE;
    const auto& f = reply.lines[0];
    stats->dwBytesXmited = static_cast<DWORD>(std::strtoull(f[5].c_str(), nullptr, 10));
    stats->dwBytesRcved = static_cast<DWORD>(std::strtoull(f[6].c_str(), nullptr, 10));
    stats->dwConnectDuration = static_cast<DWORD>(std::strtoull(f[7].c_str(), nullptr, 10));
    stats->dwBps = static_cast<DWORD>(std::strtoull(f[8].c_str(), nullptr, 10));
    return 0;
}

DWORD WINAPI RasConnectionNotificationW(HRASCONN handle, HANDLE event, DWORD flags) {
    if (DWORD e = injected("RasConnectionNotificationW")) return e;
    if (!event) return ERROR_INVALID_PARAMETER;
    // The service keeps its own reference to the event.
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        return ERROR_INVALID_HANDLE;
    }
    Guard guard;
    if (handle == INVALID_HANDLE_VALUE) {
        if (flags & RASCN_Connection) {
            state().onConnect.push_back(copy);
            ++state().connectRegistrations;
        }
        if (flags & RASCN_Disconnection) state().onAnyEnd.push_back(copy);
        return 0;
    }
    for (auto& c : state().conns) {
        if (c->handle != handle) continue;
        if (flags & RASCN_Disconnection) c->onEnd.push_back(copy);
        return 0;
    }
    CloseHandle(copy);
    return ERROR_INVALID_HANDLE;
}

DWORD WINAPI RasEnumDevicesW(LPRASDEVINFOW devices, LPDWORD bytes, LPDWORD count) {
    if (DWORD e = injected("RasEnumDevicesW")) return e;
    if (!bytes || !count) return ERROR_INVALID_PARAMETER;
    if (devices && devices->dwSize != sizeof(RASDEVINFOW)) return ERROR_INVALID_SIZE;
    const int n = std::max(0, state().devices);
    const DWORD need = static_cast<DWORD>(n) * sizeof(RASDEVINFOW);
    *count = static_cast<DWORD>(n);
    if (!devices || *bytes < need) {
        *bytes = need;
        return n == 0 && devices ? 0 : ERROR_BUFFER_TOO_SMALL;
    }
    *bytes = need;
    for (int i = 0; i < n; ++i) {
        devices[i].dwSize = sizeof(RASDEVINFOW);
        copyTo(devices[i].szDeviceType, RAS_MaxDeviceType + 1, L"PPPoE");
        copyTo(devices[i].szDeviceName, RAS_MaxDeviceName + 1,
               i == 0 ? L"WAN Miniport (PPPOE)" : L"WAN Miniport (PPPOE) #" + std::to_wstring(i + 1));
    }
    return 0;
}

DWORD WINAPI RasValidateEntryNameW(LPCWSTR phonebook, LPCWSTR name) {
    if (DWORD e = injected("RasValidateEntryNameW")) return e;
    const std::wstring book = phonebookOf(phonebook);
    // A user who never made a connection has no phonebook file: the lookup cannot open it,
    // though setting an entry's properties would make it.
    if (!isFile(book)) return ERROR_CANNOT_OPEN_PHONEBOOK;
    if (!validName(name)) return ERROR_INVALID_NAME;
    if (hasEntry(book, name)) return ERROR_ALREADY_EXISTS;
    return 0;
}

DWORD WINAPI RasGetEntryPropertiesW(LPCWSTR phonebook, LPCWSTR name, LPRASENTRYW entry,
                                    LPDWORD bytes, LPBYTE deviceInfo, LPDWORD deviceBytes) {
    if (DWORD e = injected("RasGetEntryPropertiesW")) return e;
    if (!bytes) return ERROR_INVALID_PARAMETER;
    const std::wstring book = phonebookOf(phonebook);
    // A phonebook that does not exist yet (a fresh user) cannot be opened.
    if (!isFile(book)) return ERROR_CANNOT_OPEN_PHONEBOOK;
    if (deviceBytes) *deviceBytes = 0;
    if (name && *name && !hasEntry(book, name)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    if (!entry) {
        *bytes = spokenSize(layout::kEntrySizes);
        return ERROR_BUFFER_TOO_SMALL;
    }
    if (!accepts(entry->dwSize, layout::kEntrySizes)) return ERROR_INVALID_SIZE;
    if (*bytes < entry->dwSize) {
        *bytes = entry->dwSize;
        return ERROR_BUFFER_TOO_SMALL;
    }
    const DWORD size = entry->dwSize;
    std::memset(entry, 0, size);
    entry->dwSize = size;
    if (!name || !*name) return 0;  // the defaults of a new entry
    entry->dwType = readNumber(book, name, L"Type");
    entry->dwfOptions = readNumber(book, name, L"Options");
    entry->dwfOptions2 = readNumber(book, name, L"Options2");
    entry->dwfNetProtocols = readNumber(book, name, L"NetProtocols");
    entry->dwFramingProtocol = readNumber(book, name, L"Framing");
    entry->dwEncryptionType = readNumber(book, name, L"Encryption");
    copyTo(entry->szDeviceType, RAS_MaxDeviceType + 1, readKey(book, name, L"DEVICE"));
    copyTo(entry->szDeviceName, RAS_MaxDeviceName + 1, readKey(book, name, L"Device_Name"));
    return 0;
}

DWORD WINAPI RasSetEntryPropertiesW(LPCWSTR phonebook, LPCWSTR name, LPRASENTRYW entry,
                                    DWORD bytes, LPBYTE, DWORD) {
    if (DWORD e = injected("RasSetEntryPropertiesW")) return e;
    if (!entry) return ERROR_INVALID_PARAMETER;
    if (!validName(name)) return ERROR_INVALID_NAME;
    if (!accepts(entry->dwSize, layout::kEntrySizes) || bytes < entry->dwSize)
        return ERROR_INVALID_SIZE;
    const std::wstring book = phonebookOf(phonebook);
    if (book == systemPhonebook() && !state().admin) return ERROR_ACCESS_DENIED;
    if (isFolder(book)) return ERROR_CANNOT_OPEN_PHONEBOOK;
    const std::wstring folder = book.substr(0, book.find_last_of(L"\\/"));
    if (!isFolder(folder)) return ERROR_CANNOT_OPEN_PHONEBOOK;
    if (entry->szDeviceType[0] == L'\0') return ERROR_INVALID_PARAMETER;
    const struct {
        const wchar_t* key;
        std::wstring value;
    } keys[] = {{L"DEVICE", entry->szDeviceType},
                {L"Device_Name", entry->szDeviceName},
                {L"Type", number(entry->dwType)},
                {L"Options", number(entry->dwfOptions)},
                {L"Options2", number(entry->dwfOptions2)},
                {L"NetProtocols", number(entry->dwfNetProtocols)},
                {L"Framing", number(entry->dwFramingProtocol)},
                {L"Encryption", number(entry->dwEncryptionType)}};
    for (const auto& k : keys) {
        if (!WritePrivateProfileStringW(name, k.key, k.value.c_str(), book.c_str()))
            return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    return 0;
}

DWORD WINAPI RasEnumEntriesW(LPCWSTR, LPCWSTR phonebook, LPRASENTRYNAMEW names, LPDWORD bytes,
                             LPDWORD count) {
    if (DWORD e = injected("RasEnumEntriesW")) return e;
    if (!bytes || !count) return ERROR_INVALID_PARAMETER;
    if (names && names->dwSize != sizeof(RASENTRYNAMEW)) return ERROR_INVALID_SIZE;
    // No phonebook named: the all-users one and the user's.
    std::vector<std::pair<std::wstring, std::wstring>> found;
    std::vector<std::wstring> books;
    if (phonebook && *phonebook) {
        books.push_back(phonebook);
    } else {
        books = {systemPhonebook(), userPhonebook()};
    }
    for (const auto& book : books)
        for (const auto& name : entriesOf(book)) found.emplace_back(name, book);
    const DWORD need = static_cast<DWORD>(found.size() * sizeof(RASENTRYNAMEW));
    *count = static_cast<DWORD>(found.size());
    if (!names || *bytes < need) {
        *bytes = need;
        return found.empty() && names ? 0 : ERROR_BUFFER_TOO_SMALL;
    }
    *bytes = need;
    for (std::size_t i = 0; i < found.size(); ++i) {
        names[i].dwSize = sizeof(RASENTRYNAMEW);
        copyTo(names[i].szEntryName, RAS_MaxEntryName + 1, found[i].first);
        names[i].dwFlags = found[i].second == systemPhonebook() ? REN_AllUsers : REN_User;
        copyTo(names[i].szPhonebookPath, MAX_PATH + 1, found[i].second);
    }
    return 0;
}

DWORD WINAPI RasGetErrorStringW(UINT error, LPWSTR text, DWORD chars) {
    static const std::map<UINT, const wchar_t*> kTexts = {
        {ERROR_ACCESS_DENIED, L"Access is denied."},
        {ERROR_INVALID_HANDLE, L"The handle is invalid."},
        {ERROR_BUFFER_TOO_SMALL, L"The buffer is too small."},
        {ERROR_CANNOT_OPEN_PHONEBOOK, L"The system could not open the phone book file."},
        {ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, L"The system could not find the phone book entry for this connection."},
        {ERROR_PORT_DISCONNECTED, L"The connection was closed."},
        {ERROR_REMOTE_DISCONNECTION, L"The connection was closed by the remote computer."},
        {ERROR_USER_DISCONNECTION, L"The connection was closed by the user."},
        {ERROR_INVALID_SIZE, L"The structure size is incorrect."},
        {ERROR_PORT_NOT_AVAILABLE, L"The modem (or other connecting device) is already in use or is not configured properly."},
        {676, L"The line is busy."},
        {678, L"There was no answer."},
        {691, L"The user name or password is not valid."},
        {720, L"No PPP control protocols could be negotiated."},
        {kProjectionNotComplete, L"The protocol configuration is not complete."},
        {815, L"The broadband connection could not be established."}};
    if (!text) return ERROR_INVALID_PARAMETER;
    auto found = kTexts.find(error);
    if (found == kTexts.end()) return ERROR_INVALID_PARAMETER;
    if (wcslen(found->second) + 1 > chars) return ERROR_INSUFFICIENT_BUFFER;
    wcscpy(text, found->second);
    return 0;
}

}  // extern "C"
