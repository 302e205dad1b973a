#include "Concentrator.h"

namespace tarnix::labac {
namespace {

// The ERR line's words for a refusal the administrator asked for: what a client would
// have met to get that error.
std::string refusalReason(int error) {
    switch (error) {
        case 608:
            return "no PPPoE device";
        case 623:
            return "no such phonebook entry";
        case 633:
            return "device in use or not configured";
        case 651:
            return "the device reported an error";
        case 668:
            return "the link is gone";
        case 676:
            return "line busy";
        case 678:
            return "no answer";
        case 691:
            return "account or password not accepted";
        case 720:
            return "no address assigned";
        case 769:
            return "destination not reachable";
        case 815:
            return "the broadband server is not responding";
        default:
            return "refused by the administrator";
    }
}

std::uint64_t bytesAt(std::uint64_t perSecond, std::chrono::steady_clock::duration span) {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(span).count();
    return ms <= 0 ? 0 : perSecond * static_cast<std::uint64_t>(ms) / 1000;
}

}  // namespace

Concentrator::Concentrator(Accounts accounts, AddressPool pool, Rates rates,
                           std::uint64_t handleBase)
    : accounts_(std::move(accounts)),
      pool_(std::move(pool)),
      rates_(rates),
      nextHandle_(handleBase == 0 ? 1 : handleBase) {}

DialResult Concentrator::dial(const std::string& account, const std::string& password,
                              const std::string& entry) {
    DialResult result;
    if (refusals_ > 0) {
        --refusals_;
        result.error = refusalError_;
        result.reason = refusalReason(refusalError_);
        return result;
    }
    if (!accounts_.accepts(account, password)) {
        result.error = lab::kErrorAuthentication;
        result.reason = "account or password not accepted";
        return result;
    }
    std::string ip = pool_.take();
    if (ip.empty()) {
        result.error = lab::kErrorNoAddress;
        result.reason = "address pool exhausted";
        return result;
    }
    Live live;
    live.info.handle = nextHandle_++;
    live.info.entry = entry;
    live.info.account = account;
    live.info.ip = ip;
    live.info.bitsPerSecond = rates_.lineBitsPerSecond;
    live.started = live.countedUntil = Clock::now();
    live_[live.info.handle] = live;
    result.session = snapshot(live, live.started);
    return result;
}

bool Concentrator::hangUp(std::uint64_t handle) {
    auto it = live_.find(handle);
    if (it == live_.end()) return false;
    end(it);
    return true;
}

void Concentrator::end(std::map<std::uint64_t, Live>::iterator it) {
    pool_.give(it->second.info.ip);
    live_.erase(it);
}

SessionInfo Concentrator::snapshot(const Live& live, Clock::time_point now) const {
    SessionInfo info = live.info;
    info.bytesSent = live.sent + bytesAt(rates_.sendBytesPerSecond, now - live.countedUntil);
    info.bytesReceived =
        live.received + bytesAt(rates_.receiveBytesPerSecond, now - live.countedUntil);
    info.durationMs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now - live.started).count());
    return info;
}

std::vector<SessionInfo> Concentrator::sessions() const {
    auto now = Clock::now();
    std::vector<SessionInfo> out;
    for (const auto& [handle, live] : live_) out.push_back(snapshot(live, now));
    return out;
}

bool Concentrator::session(std::uint64_t handle, SessionInfo& info) const {
    auto it = live_.find(handle);
    if (it == live_.end()) return false;
    info = snapshot(it->second, Clock::now());
    return true;
}

std::vector<SessionInfo> Concentrator::drop(const std::string& selector) {
    std::uint64_t handle = 0;
    bool byHandle = lab::parseUnsigned(selector, handle);
    auto now = Clock::now();
    std::vector<SessionInfo> ended;
    for (auto it = live_.begin(); it != live_.end();) {
        const SessionInfo& info = it->second.info;
        bool match =
            selector == "all" || info.account == selector || (byHandle && info.handle == handle);
        if (!match) {
            ++it;
            continue;
        }
        ended.push_back(snapshot(it->second, now));
        auto next = std::next(it);
        end(it);
        it = next;
    }
    return ended;
}

void Concentrator::refuseNext(unsigned count, int error) {
    refusals_ = count;
    refusalError_ = error;
}

void Concentrator::setRates(std::uint64_t sendBytesPerSecond, std::uint64_t receiveBytesPerSecond) {
    auto now = Clock::now();
    for (auto& [handle, live] : live_) {
        SessionInfo counted = snapshot(live, now);
        live.sent = counted.bytesSent;
        live.received = counted.bytesReceived;
        live.countedUntil = now;
    }
    rates_.sendBytesPerSecond = sendBytesPerSecond;
    rates_.receiveBytesPerSecond = receiveBytesPerSecond;
}

std::uint64_t handleBaseFromClock() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    return static_cast<std::uint64_t>(ms) * 1000;
}

}  // namespace tarnix::labac
