#pragma once
// A remote-access service and dial backend the tests drive by hand: connections appear and
// end when the test says so, and the registered events are signalled as the real service
// would signal them.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "base/Event.h"
#include "dial/DialBackend.h"

namespace tarnix::testing {

class FakeRemoteAccess : public RemoteAccess {
  public:
    struct Connection {
        ActiveConnection info;
        std::string address;
        LinkStatistics stats;
    };

    // Adds a live connection and signals every connection registration.
    ConnHandle connect(const std::string& entry, const std::string& address = "10.0.0.2") {
        return add(entry, address, false);
    }
    // As connect, but only while the entry has no connection (0 otherwise), as the real
    // service allows one connection per entry.
    ConnHandle connectIfFree(const std::string& entry, const std::string& address = "10.0.0.2") {
        return add(entry, address, true);
    }

    // A connection another program is still dialling: listed, not yet connected, and not
    // signalled until complete().
    ConnHandle dialling(const std::string& entry, const std::string& address = "10.0.0.3") {
        std::lock_guard<std::mutex> lock(mutex_);
        ConnHandle h = nextHandle_++;
        connections_.push_back({{h, entry, false}, address, {}});
        return h;
    }
    // The dialling connection `h` is connected: connection registrations are signalled.
    void complete(ConnHandle h) {
        std::vector<std::shared_ptr<NotifyEvent>> wake;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (Connection* c = find(h)) c->info.connected = true;
            wake = live(connectionEvents_);
        }
        for (auto& e : wake) e->set();
    }

    ConnHandle add(const std::string& entry, const std::string& address, bool onlyIfFree) {
        std::vector<std::shared_ptr<NotifyEvent>> wake;
        ConnHandle h;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (onlyIfFree &&
                std::any_of(connections_.begin(), connections_.end(),
                            [&](const Connection& c) { return c.info.entryName == entry; }))
                return 0;
            h = nextHandle_++;
            connections_.push_back({{h, entry, true}, address, {}});
            wake = live(connectionEvents_);
            if (onConnect) onConnect(h, address);
        }
        for (auto& e : wake) e->set();
        return h;
    }

    // Ends a connection and signals its disconnection registrations; false when it was
    // already gone.
    bool drop(ConnHandle h) {
        std::vector<std::shared_ptr<NotifyEvent>> wake;
        bool present;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto gone = std::remove_if(connections_.begin(), connections_.end(),
                                       [h](const Connection& c) { return c.info.handle == h; });
            present = gone != connections_.end();
            connections_.erase(gone, connections_.end());
            wake = live(disconnectionEvents_[h]);
            disconnectionEvents_.erase(h);
            if (holdDrops_) {
                held_.insert(held_.end(), wake.begin(), wake.end());
                wake.clear();
            }
        }
        for (auto& e : wake) e->set();
        return present;
    }

    // While held, the ends of connections are signalled only when released, as a slow
    // service signals them well after the connection has gone.
    void holdDropSignals(bool hold) {
        std::vector<std::shared_ptr<NotifyEvent>> wake;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            holdDrops_ = hold;
            if (!hold) wake.swap(held_);
        }
        for (auto& e : wake) e->set();
    }

    void setStatistics(ConnHandle h, LinkStatistics stats) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (Connection* c = find(h)) c->stats = stats;
    }
    void failEnumeration(bool fail) {
        std::lock_guard<std::mutex> lock(mutex_);
        failEnum_ = fail;
    }
    std::size_t connectionCount() {
        std::lock_guard<std::mutex> lock(mutex_);
        return connections_.size();
    }
    // How often the connections were listed.
    int enumerations() {
        std::lock_guard<std::mutex> lock(mutex_);
        return enumerations_;
    }
    std::vector<RasDevice> devices;
    // Told of every new connection, before anyone can see it (set before use).
    std::function<void(ConnHandle, const std::string& address)> onConnect;

    bool enumConnections(std::vector<ActiveConnection>& out, std::size_t room) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++enumerations_;
        out.clear();
        if (failEnum_ || connections_.size() > room) return false;
        for (auto& c : connections_) out.push_back(c.info);
        return true;
    }
    bool ipAddress(ConnHandle h, std::string& address) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const Connection* c = find(h);
        if (c) address = c->address;
        return c != nullptr;
    }
    bool statistics(ConnHandle h, LinkStatistics& stats) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const Connection* c = find(h);
        if (c) stats = c->stats;
        return c != nullptr;
    }
    bool enumDevices(std::vector<RasDevice>& out) override {
        out = devices;
        return true;
    }
    std::shared_ptr<NotifyEvent> createEvent() override { return std::make_shared<Event>(); }
    // As the system binding does: an event registered again is still one registration.
    bool notifyConnection(const std::shared_ptr<NotifyEvent>& event) override {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& registered : connectionEvents_)
            if (registered.lock() == event) return true;
        connectionEvents_.push_back(event);
        return true;
    }
    bool notifyDisconnection(ConnHandle h, const std::shared_ptr<NotifyEvent>& event) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (find(h)) {
                disconnectionEvents_[h].push_back(event);
                return true;
            }
        }
        event->set();
        return true;
    }

  private:
    using Registrations = std::vector<std::weak_ptr<NotifyEvent>>;
    // The live connection `h`, or null; the caller holds mutex_.
    Connection* find(ConnHandle h) {
        for (auto& c : connections_) {
            if (c.info.handle == h) return &c;
        }
        return nullptr;
    }
    static std::vector<std::shared_ptr<NotifyEvent>> live(Registrations& list) {
        std::vector<std::shared_ptr<NotifyEvent>> out;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [](const std::weak_ptr<NotifyEvent>& w) { return w.expired(); }),
                   list.end());
        for (auto& w : list) {
            if (auto e = w.lock()) out.push_back(e);
        }
        return out;
    }

    std::mutex mutex_;
    std::vector<Connection> connections_;
    Registrations connectionEvents_;
    std::map<ConnHandle, Registrations> disconnectionEvents_;
    ConnHandle nextHandle_ = 0x100;
    bool failEnum_ = false;
    bool holdDrops_ = false;
    int enumerations_ = 0;
    std::vector<std::shared_ptr<NotifyEvent>> held_;
};

// Dials into a FakeRemoteAccess: each dial takes the next scripted result (success when the
// script is empty; a failure reports `failure`) and a successful one adds a connection of
// the dialled entry, with an address of its own (10.1.0.1, 10.1.0.2, ...).
class FakeDialBackend : public DialBackend {
  public:
    explicit FakeDialBackend(FakeRemoteAccess& access) : access_(access) {}

    std::vector<std::string> entries{"pppoe_brelvan_default_entry"};
    std::deque<bool> script;
    int failure = 678;
    struct Dial {
        std::string user, password, entry;
    };
    std::vector<Dial> dials;
    std::vector<ConnHandle> hangUps;
    std::atomic<bool> reachable{true};
    // As the real service: a dial of an entry that is already connected fails.
    bool oneConnectionPerEntry = false;
    // Runs during each successful dial, before its connection is made (set before use).
    std::function<void()> duringDial;

    // Thread-safe views for tests whose dials run on other threads.
    std::vector<Dial> dialled() {
        std::lock_guard<std::mutex> lock(mutex_);
        return dials;
    }
    std::vector<ConnHandle> hungUp() {
        std::lock_guard<std::mutex> lock(mutex_);
        return hangUps;
    }
    void plan(std::initializer_list<bool> results) {
        std::lock_guard<std::mutex> lock(mutex_);
        script.insert(script.end(), results);
    }
    // While held, a dial waits (as one on a dead line does) until released or abandoned.
    void holdDials(bool hold) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            holding_ = hold;
        }
        changed_.notify_all();
    }

    void enumEntries(const std::function<void(const std::string&)>& onEntry) override {
        for (auto& e : entries) onEntry(e);
    }
    DialOutcome dial(const std::string& user, const std::string& password,
                     const std::string& entry) override {
        bool ok;
        unsigned n;
        int error;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            dials.push_back({user, password, entry});
            changed_.wait(lock, [this] { return !holding_ || abandoned_; });
            if (abandoned_) return {0, 631};
            ok = script.empty() ? true : script.front();
            if (!script.empty()) script.pop_front();
            n = ok ? ++connected_ : 0;
            error = failure;
        }
        if (!ok) return {0, error};
        if (duringDial) duringDial();
        ConnHandle h =
            access_.add(entry, "10.1." + std::to_string(n / 256) + "." + std::to_string(n % 256),
                        oneConnectionPerEntry);
        return {h, h ? 0 : 633};  // the entry is in use
    }
    void abandonDials() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            abandoned_ = true;
        }
        changed_.notify_all();
    }
    void hangUp(ConnHandle h) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            hangUps.push_back(h);
        }
        access_.drop(h);
    }
    bool networkReachable() override { return reachable; }
    RemoteAccess& remoteAccess() override { return access_; }

  private:
    FakeRemoteAccess& access_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holding_ = false;
    bool abandoned_ = false;
    unsigned connected_ = 0;
};

}  // namespace tarnix::testing
