#include "dial/lab/LabRemoteAccess.h"

#include <algorithm>
#include <chrono>

#include "base/Event.h"
#include "base/ThreadName.h"

namespace tarnix {
namespace {

constexpr std::uint32_t kConnectTimeoutMs = 1000;
constexpr auto kRetryPause = std::chrono::milliseconds(500);
// How long a query waits for a watch that is being made.
constexpr auto kWatchWait = std::chrono::milliseconds(1500);
constexpr std::uint32_t kStatisticsTimeoutMs = 2000;
// lab-ac ticks every 5 seconds on a watch: three missed ticks mean it hangs.
constexpr std::uint32_t kSilenceLimitMs = 15000;

std::uint32_t clip32(std::uint64_t value, bool wrap) {
    if (wrap) return static_cast<std::uint32_t>(value);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFFu));
}

void addOnce(std::vector<std::weak_ptr<NotifyEvent>>& events,
             const std::shared_ptr<NotifyEvent>& event) {
    // Drop registrations whose event is gone; keep one per event.
    events.erase(std::remove_if(events.begin(), events.end(),
                                [](const std::weak_ptr<NotifyEvent>& e) { return e.expired(); }),
                 events.end());
    for (const auto& known : events)
        if (known.lock() == event) return;
    events.push_back(event);
}

}  // namespace

LabRemoteAccess::LabRemoteAccess(std::string host, std::uint16_t port)
    : host_(std::move(host)), port_(port) {
    if (!host_.empty()) {
        socketsStartup();
        thread_ = std::thread(&LabRemoteAccess::watchLoop, this);
    }
}

LabRemoteAccess::~LabRemoteAccess() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        if (watchSocket_) watchSocket_->shutdownBoth();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void LabRemoteAccess::watchLoop() {
    nameThisThread("lab watch");
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        Socket socket = Socket::connectTcp(host_, port_, kConnectTimeoutMs);
        bool connected = socket.valid() && socket.sendAll("WATCH\n");
        lock.lock();
        if (stopping_) break;
        if (connected) {
            watchSocket_ = &socket;
            lock.unlock();
            readEvents(socket);
            lock.lock();
            watchSocket_ = nullptr;
        }
        // Without the watch nothing is known: every connection counts as ended.
        Events fire;
        while (!known_.empty()) connectionDown(known_.front().handle, fire);
        up_ = false;
        ++attempts_;
        changed_.notify_all();
        lock.unlock();
        signal(fire);
        lock.lock();
        changed_.wait_for(lock, kRetryPause, [this] { return stopping_ || retryNow_; });
        retryNow_ = false;
    }
}

void LabRemoteAccess::readEvents(Socket& socket) {
    LineReader reader(socket);
    std::vector<lab::SessionInfo> snapshot;
    bool listening = false;  // past the snapshot, hearing events
    std::string line;
    for (;;) {
        // Silence longer than this means lab-ac hangs: lose the watch as if it had died.
        LineReader::Result result = reader.readLine(line, kSilenceLimitMs);
        if (result == LineReader::Result::TooLong) continue;
        if (result != LineReader::Result::Line) return;
        std::vector<std::string> fields = lab::splitLine(line);
        if (fields.empty()) continue;
        lab::SessionInfo session;
        Events fire;
        if (!listening) {
            if (fields[0] == "SESSION" && lab::parseSession(fields, session)) {
                snapshot.push_back(session);
                continue;
            }
            if (fields[0] != "END") return;  // refused, for one: lab-ac is down
            std::lock_guard<std::mutex> lock(mutex_);
            for (const auto& s : snapshot) connectionUp(s, fire);
            up_ = true;
            listening = true;
            changed_.notify_all();
        } else if (fields[0] == "UP" && lab::parseSession(fields, session)) {
            std::lock_guard<std::mutex> lock(mutex_);
            connectionUp(session, fire);
        } else if (fields[0] == "DOWN" && fields.size() >= 2) {
            std::uint64_t handle = 0;
            if (!lab::parseUnsigned(fields[1], handle)) continue;
            std::lock_guard<std::mutex> lock(mutex_);
            connectionDown(static_cast<ConnHandle>(handle), fire);
        }
        signal(fire);
    }
}

void LabRemoteAccess::connectionUp(const lab::SessionInfo& session, Events& fire) {
    for (const auto& known : known_)
        if (known.handle == session.handle) return;
    known_.push_back(session);
    fire.insert(fire.end(), onConnection_.begin(), onConnection_.end());
    changed_.notify_all();
}

void LabRemoteAccess::connectionDown(ConnHandle handle, Events& fire) {
    known_.erase(std::remove_if(known_.begin(), known_.end(),
                                [&](const lab::SessionInfo& s) { return s.handle == handle; }),
                 known_.end());
    auto waiting = onDisconnection_.find(handle);
    if (waiting != onDisconnection_.end()) {
        fire.insert(fire.end(), waiting->second.begin(), waiting->second.end());
        onDisconnection_.erase(waiting);
    }
    changed_.notify_all();
}

void LabRemoteAccess::signal(const Events& events) {
    for (const auto& weak : events)
        if (auto event = weak.lock()) event->set();
}

bool LabRemoteAccess::awaitWatch(std::unique_lock<std::mutex>& lock) {
    if (up_) return true;
    if (host_.empty()) return false;
    unsigned seen = attempts_;
    retryNow_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, kWatchWait, [&] { return up_ || attempts_ != seen || stopping_; });
    return up_;
}

bool LabRemoteAccess::watching() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!up_) {
        retryNow_ = true;
        changed_.notify_all();
    }
    return up_;
}

bool LabRemoteAccess::waitFor(ConnHandle handle, bool present, std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto isKnown = [&] {
        return std::any_of(known_.begin(), known_.end(),
                           [&](const lab::SessionInfo& s) { return s.handle == handle; });
    };
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return stopping_ || isKnown() == present;
    }) && !stopping_;
}

bool LabRemoteAccess::enumConnections(std::vector<ActiveConnection>& out, std::size_t room) {
    out.clear();
    std::unique_lock<std::mutex> lock(mutex_);
    if (!awaitWatch(lock)) return false;
    for (const auto& session : known_) {
        if (out.size() >= room) break;
        // lab-ac tells of a session only once it is up.
        out.push_back({static_cast<ConnHandle>(session.handle), session.entry, true});
    }
    return true;
}

bool LabRemoteAccess::ipAddress(ConnHandle handle, std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& session : known_) {
        if (session.handle == handle) {
            address = session.ip;
            return true;
        }
    }
    return false;
}

bool LabRemoteAccess::statistics(ConnHandle handle, LinkStatistics& stats) {
    if (host_.empty() || handle == 0) return false;
    lab::Reply reply =
        lab::request(host_, port_, "STATS " + std::to_string(handle) + "\n", kStatisticsTimeoutMs);
    lab::SessionInfo session;
    if (!reply.ok() || reply.lines.size() < 2 || !lab::parseSession(reply.lines[0], session))
        return false;
    stats.bytesSent = clip32(session.bytesSent, true);
    stats.bytesReceived = clip32(session.bytesReceived, true);
    stats.connectDurationMs = clip32(session.durationMs, true);
    stats.bitsPerSecond = clip32(session.bitsPerSecond, false);
    return true;
}

bool LabRemoteAccess::enumDevices(std::vector<RasDevice>& out) {
    out = {{"PPPoE", "Lab WAN Miniport (PPPOE)"}};
    return true;
}

std::shared_ptr<NotifyEvent> LabRemoteAccess::createEvent() {
    return std::make_shared<Event>();
}

bool LabRemoteAccess::notifyConnection(const std::shared_ptr<NotifyEvent>& event) {
    if (!event) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    addOnce(onConnection_, event);
    return true;
}

bool LabRemoteAccess::notifyDisconnection(ConnHandle handle,
                                          const std::shared_ptr<NotifyEvent>& event) {
    if (!event) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bool live =
            up_ && std::any_of(known_.begin(), known_.end(),
                               [&](const lab::SessionInfo& s) { return s.handle == handle; });
        if (live) {
            addOnce(onDisconnection_[handle], event);
            return true;
        }
    }
    event->set();  // already gone
    return true;
}

}  // namespace tarnix
