// The fault check's view of the machine: PCI network devices through SetupAPI and the
// configuration manager, the adapter table through IP Helper, the remote-access devices
// through rasapi32. Texts are converted to GB2312 with code page 936, so they compare
// byte for byte with the client's own.
#include "diagnostics/NetworkInventory.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <ras.h>
#include <raserror.h>
// clang-format on

#include <memory>
#include <new>

#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

// GUID_DEVCLASS_NET, the network adapter device class.
constexpr GUID kNetClass = {
    0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::string ansiToGb(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wideToGb(wide);
}

std::optional<std::string> deviceDescription(HDEVINFO set, SP_DEVINFO_DATA& info) {
    wchar_t buffer[260] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_DEVICEDESC, nullptr,
                                           reinterpret_cast<BYTE*>(buffer),
                                           sizeof(buffer) - sizeof(wchar_t), nullptr)) {
        return std::nullopt;
    }
    return wideToGb(buffer);
}

DeviceState deviceState(DEVINST node) {
    ULONG status = 0, problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, node, 0) != CR_SUCCESS) {
        return DeviceState::QueryFailed;
    }
    return (status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED ? DeviceState::Disabled
                                                                    : DeviceState::Enabled;
}

// The GUID that names the device's interface in the adapter table, from its driver key.
std::string interfaceIdOf(HDEVINFO set, SP_DEVINFO_DATA& info) {
    // The call tells a failure by INVALID_HANDLE_VALUE, which the key's owner must not get.
    HKEY opened = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE);
    if (opened == INVALID_HANDLE_VALUE) return {};
    const ScopedRegKey key(opened);
    wchar_t id[64] = {};
    DWORD type = 0, size = sizeof(id) - sizeof(wchar_t);
    std::string result;
    if (RegQueryValueExW(key.get(), L"NetCfgInstanceId", nullptr, &type,
                         reinterpret_cast<BYTE*>(id), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        result = wideToGb(id);
    }
    return result;
}

class WinNetworkInventory : public NetworkInventory {
  public:
    bool pciNetworkDevices(std::vector<PciNetworkDevice>& out) override {
        out.clear();
        const ScopedDeviceInfoList devices(
            SetupDiGetClassDevsW(&kNetClass, L"PCI", nullptr, DIGCF_PRESENT));
        if (!devices) return false;
        const HDEVINFO set = devices.get();
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof(info);
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
            out.push_back({deviceDescription(set, info), deviceState(info.DevInst),
                           interfaceIdOf(set, info)});
        }
        return true;
    }

    bool adapters(std::vector<NetworkAdapter>& out) override {
        out.clear();
        // A small buffer first; the call names the size it needs, which may grow between
        // calls when an adapter appears.
        ULONG size = 640;
        std::unique_ptr<char[]> buffer;
        DWORD result = ERROR_BUFFER_OVERFLOW;
        for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
            buffer.reset(new (std::nothrow) char[size]());
            if (!buffer) return false;
            result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size);
        }
        if (result == ERROR_NO_DATA) return true;  // a table without entries
        if (result != ERROR_SUCCESS) return false;
        for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.get()); a; a = a->Next) {
            NetworkAdapter adapter;
            adapter.ipAddress = a->IpAddressList.IpAddress.String;
            // The length is the adapter's word; the array holds no more than its size.
            const UINT length = a->AddressLength < MAX_ADAPTER_ADDRESS_LENGTH
                                    ? a->AddressLength
                                    : MAX_ADAPTER_ADDRESS_LENGTH;
            adapter.mac.assign(a->Address, a->Address + length);
            adapter.description = ansiToGb(a->Description);
            adapter.interfaceId = a->AdapterName;
            out.push_back(std::move(adapter));
        }
        return true;
    }

    bool rasDevices(std::vector<RasDevice>& out) override {
        out.clear();
        DWORD bytes = 0, count = 0;
        DWORD result = RasEnumDevicesW(nullptr, &bytes, &count);
        std::unique_ptr<RASDEVINFOW[]> devices;
        DWORD room = 0;
        // Devices may be added between the calls: ask again for the size then.
        for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_TOO_SMALL; ++attempt) {
            room = bytes / sizeof(RASDEVINFOW) + 1;
            devices.reset(new (std::nothrow) RASDEVINFOW[room]());
            if (!devices) return false;
            devices[0].dwSize = sizeof(RASDEVINFOW);
            bytes = room * sizeof(RASDEVINFOW);
            result = RasEnumDevicesW(devices.get(), &bytes, &count);
        }
        if (result != ERROR_SUCCESS || !devices) return true;  // the service lists none
        for (DWORD i = 0; i < count && i < room; ++i) {
            out.push_back({wideToGb(devices[i].szDeviceType), wideToGb(devices[i].szDeviceName)});
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<NetworkInventory> makeSystemNetworkInventory() {
    return std::make_unique<WinNetworkInventory>();
}

}  // namespace tarnix
