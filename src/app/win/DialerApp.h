#pragma once
// The application object: owner of the long-lived services, built before start-up and
// destroyed after the main window, in the order of its members. The stores load their
// files only once start-up knows this copy is the one that runs.

#include <windows.h>

#include <filesystem>
#include <optional>

#include "base/win/Scoped.h"
#include "dial/ConnectManage.h"
#include "messages/MessageStore.h"
#include "ProductTitle.h"
#include "store/ConfigStore.h"

namespace tarnix {

inline constexpr wchar_t kInstanceMutexName[] = L"TarnixInstance";

class DialerApp {
  public:
    DialerApp();  // the services keep their files beside the program
    explicit DialerApp(const std::filesystem::path& folder);
    ~DialerApp();
    DialerApp(const DialerApp&) = delete;
    DialerApp& operator=(const DialerApp&) = delete;

    // Start-up: single instance, sockets, then the main window modally. Always false:
    // the process ends when it returns.
    bool InitInstance();
    int ExitInstance();

    CConnectManage& connectManage() { return connectManage_; }
    // The folder beside the program where the client keeps its files.
    const std::filesystem::path& folder() const { return folder_; }
    // Only after InitInstance found no other copy running.
    ConfigStore& config() { return *config_; }
    MessageStore& messages() { return *messages_; }

  private:
    ScopedHandle instanceMutex_;
    std::filesystem::path folder_;
    CConnectManage connectManage_;
    // Empty until the single-instance check: a second start must not write defaults over
    // the running client's config.xml or move its files aside.
    std::optional<ConfigStore> config_;
    std::optional<MessageStore> messages_;
};

// Walks the top-level windows for the running instance's main window and brings it to the
// front; false when none carries the property.
bool activateRunningInstance();

}  // namespace tarnix
