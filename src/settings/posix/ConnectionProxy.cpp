// No system proxy settings here: each connection's setting is kept in memory.
#include "settings/ConnectionProxy.h"

#include <map>
#include <mutex>

namespace tarnix {
namespace {

class MemoryConnectionProxy : public ConnectionProxy {
  public:
    bool query(std::string_view connection, ConnectionProxySetting& out) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = settings_.find(std::string(connection));
        out = found == settings_.end() ? ConnectionProxySetting{} : found->second;
        return true;
    }
    bool set(std::string_view connection, std::string_view server,
             std::string_view bypass) override {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_[std::string(connection)] = {true, std::string(server), std::string(bypass)};
        return true;
    }
    bool clear(std::string_view connection) override {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_[std::string(connection)].enabled = false;
        return true;
    }

  private:
    std::mutex mutex_;
    std::map<std::string, ConnectionProxySetting> settings_;
};

}  // namespace

ConnectionProxy& systemConnectionProxy() {
    static MemoryConnectionProxy proxy;
    return proxy;
}

}  // namespace tarnix
