#include "dial/ConnectManage.h"

#include <vector>

#include "dial/DialFailure.h"

namespace tarnix {

std::unique_ptr<DialBackend> makeDialBackend(const std::filesystem::path& folder,
                                             const DialSystem& machine, std::string* modeOut) {
    const auto ini = folder / "LinkAgent.ini";
    Profile& profile = machine.profile;
    std::string mode = profile.readString(ini, "LinkAgent", "Mode", "ras");
    if (mode.empty()) mode = "ras";
    if (modeOut) *modeOut = mode;
    if (mode == "ras") return machine.makeRasBackend();
    if (mode == "lab") {
        return makeLabDialBackend(
            profile.readString(ini, "LinkAgent", "Concentrator", "127.0.0.1:3690"));
    }
    return makeNullDialBackend();
}

CConnectManage::CConnectManage(const std::filesystem::path& folder, const DialSystem& machine) {
    backend_ = makeDialBackend(folder, machine, &mode_);
}

CConnectManage::CConnectManage(std::unique_ptr<DialBackend> backend)
    : mode_("custom"), backend_(std::move(backend)) {}

CConnectManage::~CConnectManage() = default;

int CConnectManage::InsertEntryName(EntryCallback callback, char*, void* param) {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = callback;
    callbackParam_ = param;
    return 0;
}

int CConnectManage::EnumEntry() {
    EntryCallback callback;
    void* param;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        callback = callback_;
        param = callbackParam_;
    }
    if (!callback) return 0;
    int count = 0;
    backend_->enumEntries([&](const std::string& name) {
        std::vector<char> copy(name.begin(), name.end());
        copy.push_back('\0');
        callback(copy.data(), param);
        ++count;
    });
    return count;
}

void CConnectManage::SetConnectType(int type) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectType_ = type;
}

void CConnectManage::SetConnectInfo(char* userName, char* password, char* entryName) {
    std::lock_guard<std::mutex> lock(mutex_);
    user_ = userName ? userName : "";
    password_ = password ? password : "";
    entry_ = entryName ? entryName : "";
}

std::string CConnectManage::entryOrDefault() const {
    return entry_.empty() ? std::string(kDialEntryName) : entry_;
}

int CConnectManage::Connect() {
    std::string user, password, entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Type 1, a broadband dial of the entry, is the only method there is.
        if (connectType_ != 1) {
            lastError_ = kDialErrorBadParameter;
            return 0;
        }
        user = user_;
        password = password_;
        entry = entryOrDefault();
    }
    DialOutcome outcome = backend_->dial(user, password, entry);
    std::lock_guard<std::mutex> lock(mutex_);
    if (outcome.handle) {
        handle_ = outcome.handle;
        lastError_ = 0;
    } else {
        lastError_ = outcome.error != 0 ? outcome.error : kDialErrorNoAnswer;
    }
    return outcome.handle ? 1 : 0;
}

int CConnectManage::LastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

void CConnectManage::AbandonConnect() {
    backend_->abandonDials();
}

void CConnectManage::CancelConnect() {
    backend_->cancelDials();
}

ConnHandle CConnectManage::Connection() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return handle_;
}

void CConnectManage::Close() {
    ConnHandle handle;
    std::string entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handle = handle_;
        handle_ = 0;
        entry = entryOrDefault();
    }
    // A connection this library did not dial (made by another program, or found at
    // start-up) is still the subscriber's link: hang that up too.
    for (ConnHandle adopted : connectionsOf(backend_->remoteAccess(), entry)) {
        if (adopted != handle) backend_->hangUp(adopted);
    }
    if (handle) backend_->hangUp(handle);
    backend_->releaseEnded(entry);
}

int CConnectManage::CheckNet() {
    std::string entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entry = entryOrDefault();
    }
    return connectionsOf(backend_->remoteAccess(), entry, true).empty() ? 0 : 1;
}

int CConnectManage::CheckNetType() {
    return backend_->networkReachable() ? 1 : 0;
}

void CConnectManage::SetHrasconnNull() {
    std::string entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handle_ = 0;
        entry = entryOrDefault();
    }
    backend_->releaseEnded(entry);
}

RemoteAccess& CConnectManage::remoteAccess() {
    return backend_->remoteAccess();
}

}  // namespace tarnix
