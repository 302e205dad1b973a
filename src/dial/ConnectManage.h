#pragma once
// CConnectManage: the one dial-library object of the process. It dials the provider's
// entry through a DialBackend chosen by LinkAgent.ini beside the program:
//   [LinkAgent]
//   Mode=ras|lab            (no file, or no Mode: ras)
//   Concentrator=host:port  (lab mode: where lab-ac listens)
// The names and char* signatures are those the callers of the old dial library expect.

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "base/DialEntry.h"
#include "base/Profile.h"
#include "dial/DialBackend.h"

namespace tarnix {

// What dialling takes from the machine: the profile functions that read LinkAgent.ini and
// the remote-access service's backend for ras mode.
struct DialSystem {
    Profile& profile;
    DialBackendMaker makeRasBackend;
};
// The system's (systemProfile() and makeRasDialBackend), which the program passes in.
DialSystem systemDialing();

class CConnectManage {
  public:
    using EntryCallback = int (*)(char* entryName, void* param);

    // Reads LinkAgent.ini in `folder` (beside the program).
    CConnectManage(const std::filesystem::path& folder, const DialSystem& machine);
    explicit CConnectManage(std::unique_ptr<DialBackend> backend);
    ~CConnectManage();
    CConnectManage(const CConnectManage&) = delete;
    CConnectManage& operator=(const CConnectManage&) = delete;

    int InsertEntryName(EntryCallback callback, char* reserved, void* param);
    int EnumEntry();
    void SetConnectType(int type);
    void SetConnectInfo(char* userName, char* password, char* entryName);
    // Dials with the stored information; non-zero when connected.
    int Connect();
    // The error of the last Connect (raserror.h numbers; dial/DialFailure.h has their
    // words); 0 when it connected or none was made.
    int LastError() const;
    // For the program's exit: a Connect in progress on another thread returns 0 soon, with
    // LastError kDialErrorAbandoned, and every later one at once. Close still hangs up.
    void AbandonConnect();
    // For the user's disconnect: a Connect in progress on another thread returns 0 soon,
    // with LastError kDialErrorAbandoned; later ones dial as usual.
    void CancelConnect();
    // The connection the last successful Connect made; 0 when none (or it was closed).
    ConnHandle Connection() const;
    // Hangs up this library's connection, or else the live connection of the stored entry.
    void Close();
    // 1 when a connection of the entry is up (connected, not still being dialled).
    int CheckNet();
    // 1 when the machine can reach a network.
    int CheckNetType();
    // Forgets the connection that dropped, and hangs up the entry's ended links.
    void SetHrasconnNull();

    // The remote-access view that matches the dialling mode.
    RemoteAccess& remoteAccess();
    // "ras", "lab" or the unknown mode's name, for diagnostics.
    const std::string& mode() const { return mode_; }

  private:
    std::string entryOrDefault() const;

    std::string mode_;
    std::unique_ptr<DialBackend> backend_;
    mutable std::mutex mutex_;  // guards the fields below; never held while dialling
    EntryCallback callback_ = nullptr;
    void* callbackParam_ = nullptr;
    int connectType_ = 1;
    std::string user_, password_, entry_;
    ConnHandle handle_ = 0;
    int lastError_ = 0;
};

// Reads the mode and makes its backend; exposed for tests.
std::unique_ptr<DialBackend> makeDialBackend(const std::filesystem::path& folder,
                                             const DialSystem& machine,
                                             std::string* mode = nullptr);

}  // namespace tarnix
