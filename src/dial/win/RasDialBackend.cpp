// Dialling over the real remote-access service: the provider's PPPoE entry in the user's
// own phonebook (no administrator rights needed), created on the system's PPPoE device
// when missing.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <ras.h>
#include <raserror.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/CodePage.h"
#include "dial/ConnectManage.h"
#include "dial/DialFailure.h"
#include "dial/win/RasCalls.h"
#include "dial/win/RasDialer.h"
#include "dial/win/RasLayouts.h"
#include "dial/win/WinRemoteAccess.h"

namespace tarnix {
namespace {

using EntryName = RASENTRYNAMEW;  // the header's name is a macro for a struct tag

void copyTo(WCHAR* field, std::size_t capacity, const std::wstring& text) {
    std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(field, text.data(), n * sizeof(WCHAR));
    field[n] = L'\0';
}

// The user's own phonebook. The system's ("all users") one, which a null phonebook names,
// needs administrator rights to change.
std::wstring userPhonebook() {
    wchar_t appData[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK)
        return {};
    return std::wstring(appData) + L"\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
}

class RasDialBackend : public DialBackend {
  public:
    void enumEntries(const std::function<void(const std::string&)>& onEntry) override {
        ensureEntry();
        DWORD bytes = 0, count = 0;
        std::vector<EntryName> names(1);
        names[0].dwSize = sizeof(EntryName);
        bytes = sizeof(EntryName);
        DWORD rc = RasEnumEntriesW(nullptr, book(), names.data(), &bytes, &count);
        if (rc == ERROR_BUFFER_TOO_SMALL && bytes / sizeof(EntryName) < 4096) {
            names.assign(bytes / sizeof(EntryName) + 1, EntryName{});
            names[0].dwSize = sizeof(EntryName);
            bytes = static_cast<DWORD>(names.size() * sizeof(EntryName));
            rc = RasEnumEntriesW(nullptr, book(), names.data(), &bytes, &count);
        }
        if (rc != ERROR_SUCCESS) return;
        for (DWORD i = 0; i < count && i < names.size(); ++i)
            onEntry(wideToGb(names[i].szEntryName));
    }

    DialOutcome dial(const std::string& user, const std::string& password,
                     const std::string& entry) override {
        // At exit nothing is prepared for a dial either.
        if (dialer_.abandoned()) return {0, kDialErrorAbandoned};
        // A link of the entry that ended still holds the port until it is hung up.
        releaseEnded(entry);
        // Whatever kept the entry from being made is the dial's failure, told to the user.
        if (const DWORD error = ensureEntry()) return {0, static_cast<int>(error)};
        RASDIALPARAMSW params{};
        params.dwSize = sizeof(params);
        copyTo(params.szEntryName, RAS_MaxEntryName + 1, gbToWide(entry));
        copyTo(params.szUserName, UNLEN + 1, gbToWide(user));
        copyTo(params.szPassword, PWLEN + 1, gbToWide(password));
        DialOutcome outcome = dialer_.dial(params, phonebook_);
        SecureZeroMemory(params.szPassword, sizeof(params.szPassword));
        return outcome;
    }

    void abandonDials() override { dialer_.abandon(); }
    void cancelDials() override { dialer_.cancel(); }

    void hangUp(ConnHandle handle) override { rasHangUp(reinterpret_cast<HRASCONN>(handle)); }

    // The service lists a link that ended until its handle is hung up.
    void releaseEnded(const std::string& entry) override {
        std::vector<RasConnRow> rows;
        if (rasListConnections(rows) != ERROR_SUCCESS) return;
        const std::wstring name = gbToWide(entry);
        for (const auto& row : rows) {
            RASCONNSTATE state = RASCS_OpenPort;
            if (row.entry == name && rasConnectState(row.handle, state) == ERROR_SUCCESS &&
                state == RASCS_Disconnected) {
                rasHangUp(row.handle);
            }
        }
    }

    // The network is reachable when an adapter other than loopback is up with a usable
    // IPv4 address (not link-local) and a default gateway, or when the entry is connected.
    // A cable plugged in without an address, or an address without a route out, is not yet
    // a network worth starting the update check for.
    bool networkReachable() override {
        ULONG bytes = 16 * 1024;
        std::vector<unsigned char> buffer(bytes);
        ULONG flags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                      GAA_FLAG_SKIP_DNS_SERVER;
        auto* list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
        ULONG rc = GetAdaptersAddresses(AF_INET, flags, nullptr, list, &bytes);
        if (rc == ERROR_BUFFER_OVERFLOW) {
            buffer.resize(bytes);
            list = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
            rc = GetAdaptersAddresses(AF_INET, flags, nullptr, list, &bytes);
        }
        if (rc == NO_ERROR) {
            for (auto* a = list; a; a = a->Next) {
                if (a->IfType == IF_TYPE_SOFTWARE_LOOPBACK || a->OperStatus != IfOperStatusUp) {
                    continue;
                }
                if (!a->FirstGatewayAddress) continue;
                for (auto* u = a->FirstUnicastAddress; u; u = u->Next) {
                    auto* in = reinterpret_cast<sockaddr_in*>(u->Address.lpSockaddr);
                    const unsigned char* b = reinterpret_cast<unsigned char*>(&in->sin_addr);
                    if (!(b[0] == 169 && b[1] == 254) && b[0] != 0) return true;
                }
            }
        }
        return !connectionsOf(access_, kDialEntryName, true).empty();
    }

    RemoteAccess& remoteAccess() override { return access_; }

  private:
    const wchar_t* book() const { return phonebook_.empty() ? nullptr : phonebook_.c_str(); }

    // Makes sure the provider's entry is a PPPoE entry on one of the machine's PPPoE
    // devices: creates it when missing (also when the user has no phonebook yet, which the
    // creation makes), and repairs one of that name made for another device. 0, or why it
    // could not be made.
    DWORD ensureEntry() {
        const std::wstring name = gbToWide(kDialEntryName);
        std::vector<RasDevice> devices;
        std::vector<std::wstring> pppoe;
        const bool listed = access_.enumDevices(devices);
        for (const auto& d : devices)
            if (_stricmp(d.type.c_str(), "PPPoE") == 0) pppoe.push_back(gbToWide(d.name));

        raslayout::Entry8 buffer{};
        RASENTRYW& entry = buffer.base.base.base;
        DWORD rc = readEntry(name, buffer);
        if (rc == ERROR_SUCCESS) {
            const bool onPppoe =
                _wcsicmp(entry.szDeviceType, RASDT_PPPoE) == 0 &&
                (!listed || std::find(pppoe.begin(), pppoe.end(), entry.szDeviceName) != pppoe.end());
            if (onPppoe) return 0;
        } else {
            rc = RasValidateEntryNameW(book(), name.c_str());
            if (rc == ERROR_ALREADY_EXISTS) return 0;  // there after all: the dial tells the rest
            // A user who never made a connection has no phonebook: making the entry makes it.
            if (rc != ERROR_SUCCESS && rc != ERROR_CANNOT_OPEN_PHONEBOOK) return rc;
        }
        if (pppoe.empty()) return kDialErrorNoDevice;
        // A new user's phonebook folder may not exist yet.
        std::error_code ignored;
        if (!phonebook_.empty())
            std::filesystem::create_directories(std::filesystem::path(phonebook_).parent_path(),
                                                ignored);
        buffer = {};
        entry.dwType = RASET_Broadband;
        // The authentication a broadband entry made by Windows' own wizard allows; left
        // unset, what the service assumes differs between versions.
        entry.dwfOptions = RASEO_RemoteDefaultGateway | RASEO_ModemLights | RASEO_PreviewUserPw |
                           RASEO_ShowDialingProgress | RASEO_RequirePAP | RASEO_RequireCHAP |
                           RASEO_RequireMsCHAP2;
        entry.dwfOptions2 = RASEO2_DontNegotiateMultilink | RASEO2_Internet;
        entry.dwfNetProtocols = RASNP_Ip;
        entry.dwFramingProtocol = RASFP_Ppp;
        entry.dwEncryptionType = ET_Optional;
        copyTo(entry.szDeviceType, RAS_MaxDeviceType + 1, RASDT_PPPoE);
        copyTo(entry.szDeviceName, RAS_MaxDeviceName + 1, pppoe.front());
        // The newest layout first; an older system refuses it with 632.
        rc = ERROR_INVALID_SIZE;
        for (const DWORD size : raslayout::kEntrySizes) {
            entry.dwSize = size;
            rc = RasSetEntryPropertiesW(book(), name.c_str(), &entry, size, nullptr, 0);
            if (rc != ERROR_INVALID_SIZE) break;
        }
        return rc;
    }

    // The entry as the phonebook holds it, in the newest layout the system speaks.
    DWORD readEntry(const std::wstring& name, raslayout::Entry8& buffer) {
        DWORD rc = ERROR_INVALID_SIZE;
        for (const DWORD size : raslayout::kEntrySizes) {
            buffer = {};
            buffer.base.base.base.dwSize = size;
            DWORD bytes = size;
            rc = RasGetEntryPropertiesW(book(), name.c_str(), &buffer.base.base.base, &bytes,
                                        nullptr, nullptr);
            if (rc != ERROR_INVALID_SIZE) break;
        }
        return rc;
    }

    const std::wstring phonebook_ = userPhonebook();
    WinRemoteAccess access_;
    RasDialer dialer_;
};

}  // namespace

std::unique_ptr<DialBackend> makeRasDialBackend() {
    return std::make_unique<RasDialBackend>();
}

DialSystem systemDialing() {
    return {systemProfile(), makeRasDialBackend};
}

}  // namespace tarnix
