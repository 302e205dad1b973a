#include "dial/DialController.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

#include "TextIds.h"
#include "base/DialEntry.h"
#include "base/Texts.h"
#include "dial/ConnectManage.h"
#include "dial/DialFailure.h"
#include "store/ConfigStore.h"
#include "base/ThreadName.h"

namespace tarnix {
namespace {

constexpr std::uint32_t kPollMs = 1000;
// How often the drop monitor looks at the followed link itself (see waitForEnd).
constexpr std::uint32_t kLookMs = 15000;
constexpr std::uint32_t kFastFailurePauseMs = 1000;

// The library takes char*; it copies what it is given.
std::vector<char> writable(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return copy;
}

}  // namespace

DialController::DialController(Services services)
    : connectManage_(services.connectManage),
      access_(*services.remoteAccess),
      config_(*services.config),
      view_(*services.view),
      recordFolder_(services.recordFolder),
      records_(recordFolder_, access_, *services.clock),
      sleep_(std::move(services.sleep)),
      progressSaveMs_(std::max<std::uint32_t>(services.progressSaveMs, 1)) {
    if (!sleep_) sleep_ = [this](std::uint32_t ms) { redialPause(ms); };
}

DialController::~DialController() {
    stopMonitors();
}

// ---- commands ------------------------------------------------------------------------

bool DialController::connectCommand(AccountForm& form, const LoginFields& fields, void* owner) {
    auto request = form.prepareDial(fields, owner);
    if (!request) return false;
    connect(*request);
    return true;
}

void DialController::connect(const DialRequest& request) {
    std::error_code ignored;
    std::filesystem::create_directories(recordFolder_, ignored);
    startCommand([this, request] { dialWorker(request); });
    if (config_.GetReconnect() != 0 && config_.GetAlwaysConnect() == 0) readRedialSettings();
}

void DialController::disconnectCommand(const std::string& formAccount) {
    if (!connectManage_) return;
    // Marked at once, so that a redial in progress makes no further attempt.
    {
        std::lock_guard<std::mutex> lock(changeMutex_);
        session_.userHangUp = 1;
    }
    changed_.notify_all();
    // A dial in progress (a dead line holds one for a minute) ends now rather than holding
    // the dial lock that the hang-up waits for. Not under the lock, and it does not wait.
    connectManage_->CancelConnect();
    startCommand([this, formAccount] { hangUpWorker(formAccount); });
}

void DialController::startCommand(std::function<void()> work) {
    std::uint64_t ticket;
    {
        std::lock_guard<std::mutex> lock(orderMutex_);
        ticket = nextTicket_++;
    }
    bool started = threads_.start([this, ticket, work] {
        nameThisThread("dial command");
        {
            std::unique_lock<std::mutex> lock(orderMutex_);
            turn_.wait(lock, [&] { return serving_ == ticket; });
        }
        work();
        endTurn(ticket);
    });
    // A command whose thread cannot be made is dropped; the user-interface thread does not
    // wait for its turn.
    if (!started) endTurn(ticket);
}

void DialController::endTurn(std::uint64_t ticket) {
    {
        std::lock_guard<std::mutex> lock(orderMutex_);
        ended_.insert(ticket);
        while (ended_.erase(serving_)) ++serving_;
    }
    turn_.notify_all();
}

void DialController::readRedialSettings() {
    int interval = 0, tries = 0;
    config_.GetRedialSettings(interval, tries);
    retryInterval_ = interval;
    retryCount_ = tries;
}

int DialController::dial(const DialRequest& request) {
    auto user = writable(request.accountName);
    auto password = writable(request.password);
    auto entry = writable(kDialEntryName);
    connectManage_->SetConnectType(1);
    connectManage_->SetConnectInfo(user.data(), password.data(), entry.data());
    return connectManage_->Connect();
}

void DialController::dialWorker(DialRequest request) {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    if (stopping() || !connectManage_) return;
    // A hang-up just before may have ended the followed link before the drop monitor could
    // react: its end is followed here, or the link would still count as up.
    const ConnHandle followed = session_.currentConnection;
    if (followed != 0 && hasEnded(followed)) linkEnded();
    // While the monitors still follow a connection there is nothing to dial: the entry
    // carries one connection, and a second record would never be closed.
    if (linkIsUp()) return;
    // Only a dial that goes ahead becomes the session's: its account is saved and redials
    // use it.
    AccountForm::save(config_, request);
    {
        std::lock_guard<std::mutex> credentials(credentialsMutex_);
        credentials_ = request;
    }
    session_.ownDial = 1;
    session_.userHangUp = 0;
    showDialling(0, 0);
    const bool connected = dial(request) != 0;
    if (stopping()) return;  // a link made all the same is hung up at exit
    if (!connected) {
        dialFailed(true);
        return;
    }
    // Only an account that went on line is announced, and later told off line.
    dialledAccount_ = request.accountName;
    startOnlineNotice(request.accountName);
    startSession(request.accountName);
}

// Under the dial lock, before a dial: the status line says that the client is dialling
// (which clears what an earlier failure said) and the commands let the dial be cancelled.
void DialController::showDialling(int attempt, int attempts) {
    connectedState_ = false;
    diallingShown_ = true;
    view_.showDialling(attempt, attempts);
}

// Under the dial lock, after a dial failed: the status line says why. The user's own dial
// is told to the window too, which repeats it where the user looks, and its commands are
// back at once; a redial's failure only updates the status line, so a loop of them does
// not pile up notices, and the commands stay as they are until the redials end. A dial the
// user ended by disconnecting did not fail: the status line is back to the welcome.
void DialController::dialFailed(bool usersOwn) {
    const std::wstring why = session_.userHangUp == 1
                                 ? std::wstring()
                                 : dialFailureText(connectManage_->LastError());
    if (why.empty()) {
        show(false, text(IDS_STATUS_WELCOME));
    } else if (usersOwn) {
        show(false, why);
        view_.dialFailed(why);
    } else {
        view_.showStatus(why);
    }
}

// Under the dial lock, right after a dial made a connection: its record is opened and the
// monitors follow it from now on, so that its end is seen even when it comes before the
// service's notice of the new connection. The session is the connection the dial made: a
// listing by name may show another first (the same name in the all-users phonebook).
void DialController::startSession(const std::string& accountName) {
    ConnHandle handle = connectManage_->Connection();
    if (handle == 0) {
        std::vector<ConnHandle> live = connectedLinks();
        handle = live.empty() ? 0 : live.front();
    }
    records_.openRecord(accountName, handle);
    if (handle == 0 || !isConnected(handle)) {
        records_.closeRecordAbnormal();  // it dropped at once
        show(false, text(IDS_STATUS_WELCOME));
        return;
    }
    adopt(handle, false);
}

void DialController::startOnlineNotice(const std::string& accountName) {
    {
        std::lock_guard<std::mutex> lock(noticeMutex_);
        ++noticesPending_;
    }
    bool started = threads_.start([this, accountName] {
        nameThisThread("online notice");
        if (OnlineNotices* notices = notices_) {
            notices->sendOffline(accountName);
            notices->sendOnline(accountName);
        }
        noticeSent();
    });
    if (!started) noticeSent();
}

void DialController::noticeSent() {
    {
        std::lock_guard<std::mutex> lock(noticeMutex_);
        --noticesPending_;
    }
    noticesSent_.notify_all();
}

// The record is closed here, under the dial lock, rather than by the command itself: a
// dial still in progress then opens its record first, and that is the one closed. The
// server is told that the account this program dialled went off line, whatever the form
// shows by now; only a link another program made goes by the form's account.
void DialController::hangUpWorker(std::string formAccount) {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    session_.userHangUp = 1;
    session_.ownDial = 0;
    records_.closeRecordNormal();
    const std::string account = dialledAccount_.empty() ? formAccount : dialledAccount_;
    dialledAccount_.clear();
    {
        // An on-line notice that came after this would leave the account on line.
        std::unique_lock<std::mutex> lock(noticeMutex_);
        noticesSent_.wait(lock, [this] { return noticesPending_ == 0; });
    }
    if (OnlineNotices* notices = notices_) notices->sendOffline(account);
    connectManage_->Close();
}

void DialController::endSession() {
    records_.closeRecordNormal();
    if (!connectManage_) return;
    // Every thread has ended: the dial lock's fields are this thread's now.
    if (OnlineNotices* notices = notices_;
        notices && session_.currentConnection != 0 && !dialledAccount_.empty()) {
        notices->sendOffline(dialledAccount_);
    }
    dialledAccount_.clear();
    connectManage_->Close();
}

// ---- monitors ------------------------------------------------------------------------

int DialController::startMonitors() {
    if (monitorsStarted_) return 0;
    readRedialSettings();
    // Only a connected link: one another program is still dialling is adopted by the connect
    // monitor once it is up.
    const std::vector<ConnHandle> live = connectedLinks();
    records_.settleLastRun(!live.empty());
    for (ConnHandle handle : live) {
        setCurrent(handle);
        connectedState_ = true;
        view_.showCommandState(true);
        if (connectManage_) connectManage_->CheckNet();
    }
    session_.connectEvent = access_.createEvent();
    if (!session_.connectEvent) return -1;
    session_.dropEvent = access_.createEvent();
    if (!session_.dropEvent) return -2;
    monitorsStarted_ = true;
    if (!threads_.start([this] { connectMonitor(); })) return -3;
    if (!threads_.start([this] { dropMonitor(); })) return -4;
    return 0;
}

void DialController::stopMonitors(const std::function<void()>& whileWaiting) {
    session_.stopMonitors = 1;
    // The program is ending: a dial in progress (tens of seconds on a dead line) is given
    // up rather than waited for, and nothing of it is shown or recorded.
    if (connectManage_) connectManage_->AbandonConnect();
    {
        std::lock_guard<std::mutex> lock(changeMutex_);
    }
    changed_.notify_all();
    if (session_.connectEvent) session_.connectEvent->set();
    if (session_.dropEvent) session_.dropEvent->set();
    threads_.joinAll(whileWaiting);
    session_.connectEvent.reset();
    session_.dropEvent.reset();
}

void DialController::connectMonitor() {
    nameThisThread("connect monitor");
    auto& event = session_.connectEvent;
    while (!stopping()) {
        if (session_.currentConnection != 0) {
            waitFor([this] { return session_.currentConnection == 0; });
            continue;
        }
        if (!access_.notifyConnection(event)) {
            pause(kPollMs);
            continue;
        }
        // A connection made while no one was registered (a redial right after a drop) is
        // never signalled: look before waiting. A link of the entry that is still being
        // dialled may come up without a signal of its own: look again each second then.
        std::vector<ConnHandle> found = connectedLinks();
        if (found.empty()) {
            const bool dialling = !entryLinks().empty();
            if (!event->wait(dialling ? kPollMs : kWaitForever) && !dialling) {
                pause(kPollMs);  // the wait failed: register again, without spinning
                continue;
            }
            if (stopping()) continue;
            found = connectedLinks();
        }
        for (ConnHandle handle : found) onConnection(handle);
    }
}

void DialController::onConnection(ConnHandle handle) {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    if (stopping() || session_.currentConnection != 0) return;
    // Gone again while this thread waited for the lock: there is nothing to follow.
    if (!isConnected(handle)) return;
    const bool own = session_.ownDial == 1;
    adopt(handle, !own);
}

void DialController::adopt(ConnHandle handle, bool foreign) {
    view_.linkUp();
    if (foreign && connectManage_) connectManage_->CheckNet();
    // The commands and the status line follow the link, whoever dialled it.
    show(true, text(IDS_STATUS_CONNECTED));
    session_.ownDial = 0;
    session_.userHangUp = 0;
    setCurrent(handle);
}

void DialController::dropMonitor() {
    nameThisThread("drop monitor");
    auto& event = session_.dropEvent;
    while (!stopping()) {
        ConnHandle handle = session_.currentConnection;
        if (handle == 0) {
            waitFor([this] { return session_.currentConnection != 0; });
            continue;
        }
        if (!access_.notifyDisconnection(handle, event)) {
            pause(kPollMs);
            continue;
        }
        if (waitForEnd(handle) && onDrop(handle)) runPolicy();
    }
}

// True when `handle` has ended; false when the monitors stop, or when another thread
// followed its end first (a dial right after a hang-up) and a new link is followed now.
// The service's signal is checked every 15 s by a look of its own, so that a signal it
// never sends (the documented service always sends it; a late one of an earlier link can
// take its place) cannot leave an ended link followed; seldom, so that a connected client
// sleeps.
// Meanwhile the session's progress is saved now and then, for the record to tell the truth
// should this run die.
bool DialController::waitForEnd(ConnHandle handle) {
    auto& event = session_.dropEvent;
    const auto every = std::chrono::milliseconds(progressSaveMs_);
    auto nextSave = std::chrono::steady_clock::now() + every;
    while (!stopping() && session_.currentConnection == handle) {
        if (event->wait(std::min(kLookMs, progressSaveMs_)) || hasEnded(handle))
            return !stopping();
        if (std::chrono::steady_clock::now() >= nextSave) {
            saveProgress(handle);
            nextSave = std::chrono::steady_clock::now() + every;
        }
    }
    return false;
}

void DialController::saveProgress(ConnHandle handle) {
    LinkStatistics stats;
    const bool counted = access_.statistics(handle, stats);
    records_.saveProgress(counted ? &stats : nullptr);
}

// True when the link dropped by itself, and so the reconnection policy is due. Decided
// here, under the lock: a connect command right after a hang-up clears the user's hang-up
// before the policy could look at it, and a failure of that dial would then be redialled.
bool DialController::onDrop(ConnHandle handle) {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    if (stopping() || session_.currentConnection != handle) return false;
    // A late signal of a link whose end was followed already, while this one is up.
    if (isListed(handle)) return false;
    const bool byItself = session_.userHangUp == 0;
    linkEnded();
    return byItself;
}

// Under the dial lock: the followed link has ended.
void DialController::linkEnded() {
    view_.linkDown();
    if (session_.userHangUp == 0) {
        records_.closeRecordAbnormal();
        if (connectManage_) {
            connectManage_->SetHrasconnNull();
            connectManage_->CheckNet();
        }
    } else {
        // The user asked to disconnect but the link went before the hang-up could close
        // its record (a no-op when it did).
        records_.closeRecordNormal();
    }
    show(false, text(IDS_STATUS_WELCOME));
    setCurrent(0);
}

void DialController::show(bool connected, std::wstring_view status) {
    view_.showCommandState(connected);
    view_.showStatus(status);
    connectedState_ = connected;
    diallingShown_ = false;
}

// ---- reconnection --------------------------------------------------------------------

void DialController::runPolicy() {
    const int always = config_.GetAlwaysConnect();
    const int reconnect = config_.GetReconnect();
    if (session_.userHangUp == 1 || stopping()) return;
    {
        // With no connect command yet (a link another program made) there is nothing to
        // redial with.
        std::lock_guard<std::mutex> lock(credentialsMutex_);
        if (credentials_.accountName.empty()) return;
    }
    if (always != 0) {
        if (!connectManage_) return;
        // Back to back, but a dial that fails at once (no device, a refused account) is
        // not repeated more than once a second.
        for (int attempt = 1;; ++attempt) {
            const auto start = std::chrono::steady_clock::now();
            if (redialAttempt(attempt, 0) != Attempt::Failed) break;
            if (std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
                sleep_(kFastFailurePauseMs);
        }
    } else if (reconnect != 0) {
        const int tries = retryCount_;
        for (int i = 0; i < tries; ++i) {
            if (!redialWanted()) break;
            // Turning Reconnect off in the settings lets the remaining attempts pass.
            if (!config_.IsReconnectCached() || !connectManage_) continue;
            if (redialAttempt(i + 1, tries) != Attempt::Failed) break;
            if (i + 1 < tries) sleep_(static_cast<std::uint32_t>(retryInterval_) * 1000u);
        }
    }
    redialsEnded();
}

// The redials are over. Without a link the commands are the user's again; the status line
// keeps what the last attempt said, unless the user stopped them.
void DialController::redialsEnded() {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    if (stopping() || !diallingShown_) return;
    if (session_.userHangUp == 1) {
        show(false, text(IDS_STATUS_WELCOME));
        return;
    }
    diallingShown_ = false;
    view_.showCommandState(false);
}

DialController::Attempt DialController::redialAttempt(int attempt, int attempts) {
    std::lock_guard<std::mutex> lock(session_.dialMutex);
    if (stopping() || session_.userHangUp == 1) return Attempt::Stopped;
    // The link is back (the user or another program dialled it): nothing to do.
    if (linkIsUp()) return Attempt::Stopped;
    DialRequest request;
    {
        std::lock_guard<std::mutex> credentials(credentialsMutex_);
        request = credentials_;
    }
    session_.ownDial = 0;
    dialledAccount_ = request.accountName;
    showDialling(attempt, attempts);
    const bool connected = dial(request) != 0;
    if (stopping()) return Attempt::Stopped;
    if (!connected) {
        dialFailed(false);
        return Attempt::Failed;
    }
    startSession(request.accountName);
    return Attempt::Connected;
}

// ---- the dial entry's links ---------------------------------------------------------

// The entry's links in any state; the connected ones (not those still being dialled).
std::vector<ConnHandle> DialController::entryLinks() {
    return connectionsOf(access_, kDialEntryName);
}

std::vector<ConnHandle> DialController::connectedLinks() {
    return connectionsOf(access_, kDialEntryName, true);
}

bool DialController::isConnected(ConnHandle handle) {
    std::vector<ConnHandle> live = connectedLinks();
    return std::find(live.begin(), live.end(), handle) != live.end();
}

bool DialController::isListed(ConnHandle handle) {
    std::vector<ConnHandle> live = entryLinks();
    return std::find(live.begin(), live.end(), handle) != live.end();
}

// True only when the service answers and no longer lists the link.
bool DialController::hasEnded(ConnHandle handle) {
    std::vector<ActiveConnection> live;
    if (!access_.enumConnections(live, 10)) return false;
    return std::none_of(live.begin(), live.end(),
                        [&](const ActiveConnection& c) { return c.handle == handle; });
}

// A link is followed or the entry has one: the entry carries one connection at a time.
bool DialController::linkIsUp() {
    return session_.currentConnection != 0 || !entryLinks().empty();
}

// ---- waiting -------------------------------------------------------------------------

void DialController::setCurrent(ConnHandle handle) {
    {
        std::lock_guard<std::mutex> lock(changeMutex_);
        session_.currentConnection = handle;
    }
    changed_.notify_all();
}

template <class Done>
void DialController::waitUntil(std::uint32_t ms, Done done) {
    std::unique_lock<std::mutex> lock(changeMutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping() || done(); });
}

template <class Done>
void DialController::waitFor(Done done) {
    std::unique_lock<std::mutex> lock(changeMutex_);
    changed_.wait(lock, [&] { return stopping() || done(); });
}

void DialController::pause(std::uint32_t ms) {
    waitUntil(ms, [] { return false; });
}

// Until the time is up, or the redials are no longer wanted: the user hung up, or a link is
// followed again (the user or another program dialled it), whose end the drop monitor
// must be free to see.
void DialController::redialPause(std::uint32_t ms) {
    waitUntil(ms, [this] { return !redialWanted(); });
}

bool DialController::redialWanted() const {
    return !stopping() && session_.userHangUp == 0 && session_.currentConnection == 0;
}

}  // namespace tarnix
