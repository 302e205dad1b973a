// The per-connection proxy through WinINet's per-connection options, for the process's
// (that is, the user's) settings. After a change the running browsers are told to re-read
// them.
#include "settings/ConnectionProxy.h"

#include <windows.h>
#include <wininet.h>

#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

std::string takeString(INTERNET_PER_CONN_OPTIONW& option) {
    const ScopedGlobalMemory<wchar_t*> value(std::exchange(option.Value.pszValue, nullptr));
    return value ? wideToGb(value.get()) : std::string();
}

// An empty name stands for the LAN settings, as WinINet's null name does.
wchar_t* connectionName(std::wstring& name) {
    return name.empty() ? nullptr : name.data();
}

bool setOptions(std::wstring& connection, INTERNET_PER_CONN_OPTIONW* options, DWORD count) {
    INTERNET_PER_CONN_OPTION_LISTW list{};
    list.dwSize = sizeof(list);
    list.pszConnection = connectionName(connection);
    list.dwOptionCount = count;
    list.pOptions = options;
    const bool done =
        InternetSetOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
    return done;
}

// The connection's flags as they stand, so that setting or clearing the proxy keeps the
// others (automatic detection, an automatic configuration script).
DWORD currentFlags(std::wstring& connection) {
    INTERNET_PER_CONN_OPTIONW option{};
    option.dwOption = INTERNET_PER_CONN_FLAGS;
    INTERNET_PER_CONN_OPTION_LISTW list{};
    list.dwSize = sizeof(list);
    list.pszConnection = connectionName(connection);
    list.dwOptionCount = 1;
    list.pOptions = &option;
    DWORD size = sizeof(list);
    if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size))
        return PROXY_TYPE_DIRECT;
    return option.Value.dwValue;
}

class WinConnectionProxy : public ConnectionProxy {
  public:
    bool query(std::string_view connection, ConnectionProxySetting& out) override {
        std::wstring name = gbToWide(connection);
        INTERNET_PER_CONN_OPTIONW options[3] = {};
        options[0].dwOption = INTERNET_PER_CONN_FLAGS;
        options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
        options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
        INTERNET_PER_CONN_OPTION_LISTW list{};
        list.dwSize = sizeof(list);
        list.pszConnection = connectionName(name);
        list.dwOptionCount = 3;
        list.pOptions = options;
        DWORD size = sizeof(list);
        if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size)) {
            return false;
        }
        out.enabled = (options[0].Value.dwValue & PROXY_TYPE_PROXY) != 0;
        out.server = takeString(options[1]);
        out.bypass = takeString(options[2]);
        return true;
    }

    bool set(std::string_view connection, std::string_view server,
             std::string_view bypass) override {
        std::wstring name = gbToWide(connection);
        std::wstring wideServer = gbToWide(server);
        std::wstring wideBypass = gbToWide(bypass);
        INTERNET_PER_CONN_OPTIONW options[3] = {};
        options[0].dwOption = INTERNET_PER_CONN_FLAGS;
        options[0].Value.dwValue = currentFlags(name) | PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY;
        options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
        options[1].Value.pszValue = wideServer.data();
        options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
        options[2].Value.pszValue = wideBypass.data();
        return setOptions(name, options, 3);
    }

    bool clear(std::string_view connection) override {
        std::wstring name = gbToWide(connection);
        INTERNET_PER_CONN_OPTIONW option{};
        option.dwOption = INTERNET_PER_CONN_FLAGS;
        option.Value.dwValue = (currentFlags(name) & ~DWORD(PROXY_TYPE_PROXY)) | PROXY_TYPE_DIRECT;
        return setOptions(name, &option, 1);
    }
};

}  // namespace

ConnectionProxy& systemConnectionProxy() {
    static WinConnectionProxy proxy;
    return proxy;
}

}  // namespace tarnix
