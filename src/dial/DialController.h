#pragma once
// The dial controller behind the login page: it dials and hangs up on worker threads,
// watches the remote-access service for the dial entry's connection coming up and going
// down, keeps the session records, tells the message server when the account goes on
// and off line, shows the link in the commands and the status line (a dial under way, and
// why one failed), and redials after a drop as the settings say (Alwaysconnect: at once
// until a dial succeeds; Reconnect: RedialTrytimes attempts RedialTimegrap seconds apart).
//
// Threads: the commands and start/stop belong to the user-interface thread, which never
// waits for the dial lock. Dialling (a command's or a redial's), hanging up and each
// monitor's reaction to one event hold it, and only those call the view, while they hold
// it (startMonitors too, before the monitors run). Whoever holds the lock first after a link ended reacts to the end: the drop monitor,
// or a dial worker that must know the entry free. The on-line notice thread takes no lock;
// a hang-up waits for it under the lock. stopMonitors abandons a dial in progress; once it
// has begun, no link comes up in the view or the records and no dial's notice is sent.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/WorkerThreads.h"
#include "dial/AccountForm.h"
#include "dial/DialSession.h"
#include "dial/DialView.h"
#include "dial/SessionRecords.h"
#include "messageserver/OnlineNotices.h"

namespace tarnix {

class CConnectManage;
class ConfigStore;

class DialController {
  public:
    // Pauses the calling thread for a number of milliseconds.
    using Sleeper = std::function<void(std::uint32_t ms)>;

    struct Services {
        CConnectManage* connectManage = nullptr;  // null: nothing is dialled or hung up
        RemoteAccess* remoteAccess = nullptr;     // the view matching connectManage's dials
        ConfigStore* config = nullptr;
        DialView* view = nullptr;
        std::filesystem::path recordFolder;  // made at the first dial when missing
        Clock* clock = nullptr;              // required: the clock records are stamped with
        // The pause between redial attempts. Empty: a real pause that ends early when the
        // monitors stop, the user hangs up or a link is followed again.
        Sleeper sleep;
        // How often a live session's counters and last-seen time are saved.
        std::uint32_t progressSaveMs = 5 * 60 * 1000;
    };

    explicit DialController(Services services);
    // Stops the monitors and waits for every thread.
    ~DialController();
    DialController(const DialController&) = delete;
    DialController& operator=(const DialController&) = delete;

    // Where the on-line and off-line notices go; none until the window hands its channel.
    void setNotices(OnlineNotices* notices) { notices_ = notices; }

    // The connect command: the form's checks, then a dial on a worker thread. False when
    // the form refused.
    bool connectCommand(AccountForm& form, const LoginFields& fields, void* owner = nullptr);
    // The dial half of the connect command, for an account already checked.
    void connect(const DialRequest& request);
    // The disconnect command: hangs up on a worker thread; the record is closed normally
    // first, with the link's counters. The off-line notice names the account last dialled;
    // `formAccount` only when there is none (the link was made by another program).
    void disconnectCommand(const std::string& formAccount);

    // Adopts a connection of the dial entry that is already up (and the record a run before
    // left open for it; without a link that record is closed as a dead run's), then starts
    // the two monitors. 0, or -1/-2 when an event cannot be made, -3/-4 when a monitor cannot be
    // started. Also reads the redial settings, so a drop before any connect command is
    // handled by defined values.
    int startMonitors();
    // Stops the monitors and waits for them and every worker; a dial in progress is
    // abandoned, not waited for. `whileWaiting` runs about every 10 ms meanwhile (the
    // window's thread handles the view's messages there).
    void stopMonitors(const std::function<void()>& whileWaiting = {});

    // Closes the open session record as a normal disconnection (at shutdown).
    void closeRecordNormal() { records_.closeRecordNormal(); }
    // At the end of the program or of the Windows session, after stopMonitors: the session
    // ends as a normal disconnection, the server hears that the account went off line, and
    // the link is hung up.
    void endSession();

    // The redial settings in use, read from config.xml.
    void readRedialSettings();
    int retryCount() const { return retryCount_; }
    int retryIntervalSeconds() const { return retryInterval_; }

    // The command state last shown.
    bool connectedState() const { return connectedState_; }
    DialSession& session() { return session_; }
    // Monitors and workers still running (for tests).
    int runningThreads() const { return threads_.running(); }

  private:
    enum class Attempt { Connected, Failed, Stopped };

    // Starts a command's worker; the workers take the dial lock in the order the commands
    // were given, so a disconnect followed by a connect ends connected.
    void startCommand(std::function<void()> work);
    void endTurn(std::uint64_t ticket);
    void dialWorker(DialRequest request);
    void startSession(const std::string& accountName);
    void adopt(ConnHandle handle, bool foreign);
    void hangUpWorker(std::string formAccount);
    void startOnlineNotice(const std::string& accountName);
    void noticeSent();
    int dial(const DialRequest& request);
    void showDialling(int attempt, int attempts);
    void dialFailed(bool usersOwn);

    void connectMonitor();
    void dropMonitor();
    void onConnection(ConnHandle handle);
    bool waitForEnd(ConnHandle handle);
    void saveProgress(ConnHandle handle);
    bool onDrop(ConnHandle handle);
    void linkEnded();
    void runPolicy();
    Attempt redialAttempt(int attempt, int attempts);
    void redialsEnded();
    void show(bool connected, std::wstring_view status);

    std::vector<ConnHandle> entryLinks();
    std::vector<ConnHandle> connectedLinks();
    bool isConnected(ConnHandle handle);
    bool isListed(ConnHandle handle);
    bool hasEnded(ConnHandle handle);
    bool linkIsUp();

    bool stopping() const { return session_.stopMonitors.load() != 0; }
    void setCurrent(ConnHandle handle);
    template <class Done>
    void waitUntil(std::uint32_t ms, Done done);
    // Until `done` or the monitors stop, however long: for what changes only through
    // setCurrent() and stopMonitors(), which wake the waiters.
    template <class Done>
    void waitFor(Done done);
    void pause(std::uint32_t ms);
    void redialPause(std::uint32_t ms);
    bool redialWanted() const;

    CConnectManage* const connectManage_;
    RemoteAccess& access_;
    ConfigStore& config_;
    DialView& view_;
    const std::filesystem::path recordFolder_;
    SessionRecords records_;
    Sleeper sleep_;
    const std::uint32_t progressSaveMs_;
    std::atomic<OnlineNotices*> notices_{nullptr};

    DialSession session_;
    std::atomic<int> retryCount_{0};
    std::atomic<int> retryInterval_{0};
    std::atomic<bool> connectedState_{false};
    bool diallingShown_ = false;  // the view shows a dial under way; under the dial lock
    bool monitorsStarted_ = false;

    // The account and password of the last connect command, for redials.
    std::mutex credentialsMutex_;
    DialRequest credentials_;
    // The account of the last dial, which the server was told is on line; empty after the
    // hang-up told it otherwise. Under the dial lock.
    std::string dialledAccount_;

    // On-line notices not yet sent: a hang-up's off-line notice waits for them.
    std::mutex noticeMutex_;
    std::condition_variable noticesSent_;
    int noticesPending_ = 0;

    // Wakes the monitors' polls and the pause between redials when the current connection
    // changes, the user hangs up or the monitors stop.
    std::mutex changeMutex_;
    std::condition_variable changed_;

    // The order of the commands' workers: tickets, served one after another.
    std::mutex orderMutex_;
    std::condition_variable turn_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t serving_ = 0;
    std::set<std::uint64_t> ended_;  // finished out of turn (a thread that was never made)

    WorkerThreads threads_;
};

}  // namespace tarnix
