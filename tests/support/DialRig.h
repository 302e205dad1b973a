#pragma once
// A dial controller over fakes: the remote-access service and dial library of
// FakeRemoteAccess.h, a config.xml and record folder in a temporary folder, a fixed clock,
// a view and notices that record what they are told, and (unless realPauses) a sleeper that
// only notes pauses.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "FakeClock.h"
#include "FakeRemoteAccess.h"
#include "base/Clock.h"
#include "base/CodePage.h"
#include "dial/ConnectManage.h"
#include "dial/DialController.h"
#include "dial/SessionRecords.h"
#include "records/MonthFile.h"
#include "store/ConfigStore.h"
#include "store/XmlDocument.h"
#include "store/XmlFileLoad.h"

namespace tarnix::testing {

class RecordingView : public DialView {
  public:
    void linkUp() override { note("up"); }
    void linkDown() override { note("down"); }
    void showCommandState(bool connected) override {
        note(connected ? "connected" : "disconnected");
    }
    // "dialling" for the user's own dial, "redialling 2/3" (2/0: no limit) for a redial.
    void showDialling(int attempt, int attempts) override {
        std::string what = attempt == 0 ? "dialling"
                                         : "redialling " + std::to_string(attempt) + "/" +
                                               std::to_string(attempts);
        note(what.c_str());
        std::lock_guard<std::mutex> lock(mutex_);
        status_ = "(" + what + ")";
    }
    // Kept in GB2312, the bytes the tests spell their expected texts in.
    void showStatus(std::wstring_view text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        status_ = wideToGb(text);
    }
    void dialFailed(std::wstring_view text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back("failed " + wideToGb(text));
    }
    std::vector<std::string> events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::string status() {
        std::lock_guard<std::mutex> lock(mutex_);
        return status_;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
        status_.clear();
    }
    // Puts a test's own step among the events, to show what came before and after it.
    void mark(const std::string& step) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(step);
    }

  private:
    void note(const char* what) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(what);
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
    std::string status_;
};

class RecordingNotices : public OnlineNotices {
  public:
    // Runs before each on-line notice is noted (set before use).
    std::function<void()> beforeOnline;

    void sendOnline(const std::string& name) override {
        if (beforeOnline) beforeOnline();
        note("online " + name);
    }
    void sendOffline(const std::string& name) override { note("offline " + name); }
    std::vector<std::string> sent() {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_;
    }

  private:
    void note(std::string line) {
        std::lock_guard<std::mutex> lock(mutex_);
        sent_.push_back(std::move(line));
    }
    std::mutex mutex_;
    std::vector<std::string> sent_;
};

// Polls `done` every millisecond for up to five seconds.
template <class Done>
bool eventually(Done done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct DialRig {
    explicit DialRig(const std::string& tag,
                     std::filesystem::path base = std::filesystem::temp_directory_path())
        : folder(base / ("tarnix-" + tag + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(folder);
        auto owned = std::make_unique<FakeDialBackend>(access);
        backend = owned.get();
        connectManage = std::make_unique<CConnectManage>(std::move(owned));
        config = std::make_unique<ConfigStore>(folder);
    }
    // Dials through `real` (lab mode, say) instead of the fakes; `backend` is then null.
    DialRig(const std::string& tag, std::unique_ptr<DialBackend> real)
        : folder(std::filesystem::temp_directory_path() /
                 ("tarnix-" + tag + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(folder);
        connectManage = std::make_unique<CConnectManage>(std::move(real));
        remote = &connectManage->remoteAccess();
        config = std::make_unique<ConfigStore>(folder);
    }
    ~DialRig() {
        controller.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    DialRig(const DialRig&) = delete;
    DialRig& operator=(const DialRig&) = delete;

    // Builds the controller; `withLibrary` false gives it no dial library.
    DialController& make(bool withLibrary = true) {
        DialController::Services services;
        services.connectManage = withLibrary ? connectManage.get() : nullptr;
        services.remoteAccess = remote;
        services.config = config.get();
        services.view = &view;
        services.recordFolder = recordFolderBeside(folder);
        services.clock = &clock;
        if (progressSaveMs) services.progressSaveMs = progressSaveMs;
        if (!realPauses) {
            services.sleep = [this](std::uint32_t ms) {
                std::lock_guard<std::mutex> lock(sleepMutex);
                sleeps.push_back(ms);
                if (onSleep) onSleep();
            };
        }
        controller = std::make_unique<DialController>(std::move(services));
        controller->setNotices(&notices);
        return *controller;
    }

    std::filesystem::path recordFile() {
        return recordFolderBeside(folder) / monthFileName(clock.now());
    }
    std::string records() {
        std::ifstream in(recordFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::uint32_t> pauses() {
        std::lock_guard<std::mutex> lock(sleepMutex);
        return sleeps;
    }
    bool connected() { return controller->session().currentConnection != 0; }
    ConnHandle live() {
        auto handles = connectionsOf(*remote, kDialEntryName);
        return handles.empty() ? 0 : handles.front();
    }

    std::filesystem::path folder;
    FakeRemoteAccess access;
    RemoteAccess* remote = &access;  // the service the controller watches
    FakeDialBackend* backend = nullptr;
    std::unique_ptr<CConnectManage> connectManage;
    std::unique_ptr<ConfigStore> config;
    FakeClock clock;
    RecordingView view;
    RecordingNotices notices;
    std::mutex sleepMutex;
    std::vector<std::uint32_t> sleeps;
    std::function<void()> onSleep;
    bool realPauses = false;  // the controller's own pauses instead of noting them
    std::uint32_t progressSaveMs = 0;  // 0: the controller's own interval
    std::unique_ptr<DialController> controller;
};

}  // namespace tarnix::testing

namespace tarnix::testing {

// This month's record file of the program in `programFolder`.
inline std::filesystem::path currentRecordFile(const std::filesystem::path& programFolder) {
    return recordFolderBeside(programFolder) / monthFileName(systemClock().now());
}

// The ITEMs of a record file, newest first.
struct RecordItem {
    std::string user, start, end, ip, cause, sent, received;
};

inline std::vector<RecordItem> readRecordItems(const std::filesystem::path& file) {
    std::vector<RecordItem> items;
    XmlDocument doc;
    // The controller may be replacing the file this moment: read it as the client does,
    // trying again while it cannot be opened.
    if (loadXmlFile(doc, file, "record") != XmlFileState::Loaded || !doc.EnterElement())
        return items;
    while (doc.FindElement("ITEM")) {
        items.push_back({doc.GetAttribute("user"), doc.GetAttribute("start_time"),
                         doc.GetAttribute("end_time"), doc.GetAttribute("ip"),
                         doc.GetAttribute("error_code"), doc.GetAttribute("send"),
                         doc.GetAttribute("recv")});
    }
    return items;
}

}  // namespace tarnix::testing
