// The backend of a mode this program does not know: nothing to dial, no connections.
#include "dial/DialBackend.h"

#include "base/Event.h"
#include "dial/DialFailure.h"

namespace tarnix {
namespace {

class NullRemoteAccess : public RemoteAccess {
  public:
    bool enumConnections(std::vector<ActiveConnection>& out, std::size_t) override {
        out.clear();
        return true;
    }
    bool ipAddress(ConnHandle, std::string&) override { return false; }
    bool statistics(ConnHandle, LinkStatistics&) override { return false; }
    bool enumDevices(std::vector<RasDevice>& out) override {
        out.clear();
        return true;
    }
    std::shared_ptr<NotifyEvent> createEvent() override { return std::make_shared<Event>(); }
    bool notifyConnection(const std::shared_ptr<NotifyEvent>&) override { return true; }
    bool notifyDisconnection(ConnHandle, const std::shared_ptr<NotifyEvent>& event) override {
        event->set();  // there is no such connection, so it has already ended
        return true;
    }
};

class NullDialBackend : public DialBackend {
  public:
    void enumEntries(const std::function<void(const std::string&)>&) override {}
    DialOutcome dial(const std::string&, const std::string&, const std::string&) override {
        return {0, kDialErrorNoDevice};
    }
    void abandonDials() override {}
    void hangUp(ConnHandle) override {}
    bool networkReachable() override { return false; }
    RemoteAccess& remoteAccess() override { return access_; }

  private:
    NullRemoteAccess access_;
};

}  // namespace

std::unique_ptr<DialBackend> makeNullDialBackend() {
    return std::make_unique<NullDialBackend>();
}

}  // namespace tarnix
