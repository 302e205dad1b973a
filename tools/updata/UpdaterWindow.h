#pragma once
// The updater's one window: what it is doing, a progress bar of the download and a cancel
// button. The work runs on a worker; the window shows its progress and, at the end, tells
// the user why nothing was installed, or closes when the installer has started.

#include <atomic>
#include <filesystem>
#include <thread>

#include "update/Updater.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class UpdaterWindow : public Dialog {
  public:
    struct Places {
        std::filesystem::path programFolder;  // UpdateConfig.ini
        std::filesystem::path tempFolder;     // UpdateList.ini and the package
    };
    UpdaterWindow(Places places, PackageFile& package, RunningClient& client);
    ~UpdaterWindow() override;

    UpdaterResult result() const { return outcome_.result; }

  protected:
    BOOL onInitDialog() override;
    void onCancel() override;
    void onOK() override {}

  private:
    // On the window's thread.
    void showProgress(std::uint64_t received, std::uint64_t total);
    std::wstring version_;  // being downloaded
    void finished(UpdaterOutcome outcome);

    Places places_;
    PackageFile& package_;
    RunningClient& client_;
    UpdaterOutcome outcome_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> installing_{false};  // the installer has started
    std::atomic<int> shownPercent_{-1};  // worker: posts only when the percentage moves
    bool done_ = false;
    std::thread worker_;
};

// The message that tells `result`, or 0 when there is nothing to tell.
UINT updaterMessage(UpdaterResult result);
// All the window tells at the end, with what became of the client; empty for nothing.
std::wstring updaterText(const UpdaterOutcome& outcome);

}  // namespace tarnix
