#pragma once
// ConnectionProxy: the web proxy that the system's Internet settings apply to one dial-up
// connection (WinINet's per-connection options on Windows). Connection names and proxy
// texts are GB2312; an empty connection name stands for the LAN (no dial-up connection).

#include <string>
#include <string_view>

namespace tarnix {

struct ConnectionProxySetting {
    bool enabled = false;  // the connection goes through the proxy server
    std::string server;    // "1.2.3.4:8080", or a list such as "http=a:1;https=b:2"
    std::string bypass;
};

class ConnectionProxy {
  public:
    virtual ~ConnectionProxy() = default;
    // The connection's current setting; false when it cannot be read.
    virtual bool query(std::string_view connection, ConnectionProxySetting& out) = 0;
    // Direct for local addresses, `server` for the rest.
    virtual bool set(std::string_view connection, std::string_view server,
                     std::string_view bypass) = 0;
    // Direct only.
    virtual bool clear(std::string_view connection) = 0;
};

// WinINet on Windows; elsewhere settings kept in memory for the life of the process.
ConnectionProxy& systemConnectionProxy();

}  // namespace tarnix
