// The dial backend of lab mode: dials and hang-ups are requests to lab-ac.

#include <chrono>
#include <memory>
#include <thread>

#include "dial/ConnectManage.h"
#include "dial/DialBackend.h"
#include "dial/DialFailure.h"
#include "dial/lab/LabProtocol.h"
#include "dial/lab/LabRemoteAccess.h"

namespace tarnix {
namespace {

// A dial ends within this, whatever lab-ac or the network does.
constexpr std::uint32_t kDialTimeoutMs = 4000;
constexpr std::uint32_t kHangUpTimeoutMs = 3000;
// A failed dial takes at least this long, as a real one does while PPPoE discovery and
// authentication wait for their answers; callers that redial at once in a loop then
// do not spin.
constexpr auto kFailedDialMinimum = std::chrono::milliseconds(1000);

class LabDialBackend : public DialBackend {
    using Clock = std::chrono::steady_clock;

  public:
    LabDialBackend(std::string host, std::uint16_t port)
        : host_(std::move(host)), port_(port), remote_(host_, port_) {}

    // The entry lives in the local phonebook: listing it needs no concentrator, so the
    // login page does not wait for an unreachable one.
    void enumEntries(const std::function<void(const std::string&)>& onEntry) override {
        onEntry(kDialEntryName);
    }

    DialOutcome dial(const std::string& user, const std::string& password,
                     const std::string& entry) override {
        auto started = Clock::now();
        DialOutcome outcome = dialOnce(user, password, entry);
        if (outcome.handle == 0 && abandon_.done()) return {0, kDialErrorAbandoned};
        if (outcome.handle == 0) std::this_thread::sleep_until(started + kFailedDialMinimum);
        return outcome;
    }

    // Shutting the request's connection down withdraws it: lab-ac drops a dial whose
    // requester has gone.
    void abandonDials() override { abandon_.now(); }

    void hangUp(ConnHandle handle) override {
        if (host_.empty() || handle == 0) return;
        auto deadline = Clock::now() + std::chrono::milliseconds(kHangUpTimeoutMs);
        lab::request(host_, port_, "HANGUP " + std::to_string(handle) + "\n", kHangUpTimeoutMs);
        remote_.waitFor(handle, false, msUntil(deadline));
    }

    bool networkReachable() override { return remote_.watching(); }

    RemoteAccess& remoteAccess() override { return remote_; }

  private:
    static std::uint32_t msUntil(Clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return left.count() > 0 ? static_cast<std::uint32_t>(left.count()) : 0;
    }

    // lab-ac's ERR code is the dial's error; no answer at all is the provider's silence.
    DialOutcome dialOnce(const std::string& user, const std::string& password,
                         const std::string& entry) {
        if (host_.empty()) return {0, kDialErrorNoAnswer};
        auto deadline = Clock::now() + std::chrono::milliseconds(kDialTimeoutMs);
        lab::Reply reply =
            lab::request(host_, port_, lab::makeLine({"DIAL", user, password, entry}),
                         kDialTimeoutMs, &abandon_);
        if (int error = reply.error()) return {0, error};
        std::uint64_t handle = 0;
        if (!reply.ok() || reply.last().size() < 3 || reply.last()[0] != "OK" ||
            !lab::parseUnsigned(reply.last()[1], handle) || handle == 0)
            return {0, kDialErrorNoAnswer};
        // lab-ac tells watchers before it answers, so this is normally at once; it makes
        // the new connection visible to the remote-access view when dial returns.
        remote_.waitFor(static_cast<ConnHandle>(handle), true, msUntil(deadline));
        return {static_cast<ConnHandle>(handle), 0};
    }

    std::string host_;
    std::uint16_t port_;
    LabRemoteAccess remote_;
    lab::Abandon abandon_;
};

}  // namespace

std::unique_ptr<DialBackend> makeLabDialBackend(const std::string& concentrator) {
    std::string host;
    std::uint16_t port = 0;
    if (!lab::parseEndpoint(concentrator, host, port)) host.clear();
    return std::make_unique<LabDialBackend>(host, port);
}

}  // namespace tarnix
