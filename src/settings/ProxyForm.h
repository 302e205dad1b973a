#pragma once
// ProxyForm: the proxy page of the settings dialog. It shows the web proxy set for the
// client's dial entry and sets or clears it: an IPv4 address and a port, written as
// "address:port" with the port as typed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/DialEntry.h"
#include "settings/ConnectionProxy.h"

namespace tarnix {

using Ipv4Address = std::array<std::uint8_t, 4>;

// The page's controls.
struct ProxyFields {
    bool useProxy = false;               // "对此连接使用代理服务器"
    std::optional<Ipv4Address> address;  // "地址:"; none while the control is blank
    std::string port;                    // "端口:" as typed

    // The address and port are enabled while the box is ticked.
    bool fieldsEnabled() const { return useProxy; }
};

class ProxyForm {
  public:
    // Messages are captioned "提示", with the information icon.
    // Addresses the proxy is not used for: WinINet's keyword for every host name without a
    // dot ("local" alone would be a host of that name).
    static constexpr std::string_view kBypass = "<local>";

    explicit ProxyForm(ConnectionProxy& proxy, std::string connection = kDialEntryName);

    // The entry's proxy as the page shows it; a failed query is told over `owner`
    // (IDS_PROXY_QUERY_FAILED) and the page opens as if no proxy were set.
    ProxyFields load(void* owner = nullptr);
    // After the box is clicked: clearing it empties the address and the port.
    static void boxClicked(ProxyFields& fields);
    // Sets or clears the entry's proxy. An empty address or port, or a port that is not a
    // number from 0 to 65535 of at most five digits, is refused with its message over
    // `owner` (IDS_PROXY_NO_ADDRESS, IDS_PROXY_NO_PORT, IDS_PROXY_PORT_RANGE; false) and
    // nothing is written. Fields as load() showed them write nothing:
    // what the page cannot show (a host name, a list per protocol, a proxy it could not
    // read) stays as it is until the user changes the page.
    bool save(const ProxyFields& fields, void* owner = nullptr);

  private:
    ConnectionProxy& proxy_;
    std::string connection_;
    std::optional<ProxyFields> shown_;  // as loaded or last written
};

// The fields that show a proxy server text: "1.2.3.4:8080"; from a list such as
// "http=1.2.3.4:8080;https=5.6.7.8:443" the entry for http, else the one for every
// protocol, else the first. A host that is no IPv4 address leaves the address blank; a
// port that is no number of up to five digits leaves the port empty.
ProxyFields proxyFieldsOf(std::string_view server);

}  // namespace tarnix
