#include "UpdaterWindow.h"

#include "base/Prompt.h"
#include "base/Profile.h"
#include "base/CodePage.h"
#include "updata_ids.h"
#include "widgets/win/ProgressBar.h"
#include "widgets/win/Strings.h"

namespace tarnix {

UINT updaterMessage(UpdaterResult result) {
    switch (result) {
        case UpdaterResult::Started:
        case UpdaterResult::Cancelled:
            return 0;
        case UpdaterResult::UpToDate:
            return IDS_UPDATER_UP_TO_DATE;
        case UpdaterResult::NoSource:
            return IDS_UPDATER_NO_SOURCE;
        case UpdaterResult::ListUnavailable:
            return IDS_UPDATER_LIST_UNAVAILABLE;
        case UpdaterResult::UnsignedList:
            return IDS_UPDATER_UNSIGNED_LIST;
        case UpdaterResult::BadList:
            return IDS_UPDATER_BAD_LIST;
        case UpdaterResult::PackageUnavailable:
            return IDS_UPDATER_PACKAGE_UNAVAILABLE;
        case UpdaterResult::DownloadFailed:
            return IDS_UPDATER_DOWNLOAD_FAILED;
        case UpdaterResult::WrongSize:
            return IDS_UPDATER_WRONG_SIZE;
        case UpdaterResult::WrongHash:
            return IDS_UPDATER_WRONG_HASH;
        case UpdaterResult::FileError:
            return IDS_UPDATER_FILE_ERROR;
        case UpdaterResult::ClientRunning:
            return IDS_UPDATER_CLIENT_RUNNING;
        case UpdaterResult::StartFailed:
            return IDS_UPDATER_START_FAILED;
        case UpdaterResult::InstallerFailed:
            return IDS_UPDATER_INSTALLER_FAILED;
    }
    return 0;
}

std::wstring updaterText(const UpdaterOutcome& outcome) {
    UINT message = updaterMessage(outcome.result);
    // A cancel tells nothing, unless the client was closed for the update meanwhile.
    if (outcome.result == UpdaterResult::Cancelled && outcome.clientEnded)
        message = IDS_UPDATER_CANCELLED;
    if (!message) return {};
    std::wstring text = loadString(message);
    if (outcome.clientRestarted)
        text += loadString(IDS_UPDATER_CLIENT_RESTARTED);
    else if (outcome.clientEnded && outcome.result == UpdaterResult::Cancelled)
        text += loadString(IDS_UPDATER_CLIENT_LEFT_CLOSED);
    else if (outcome.clientEnded)
        text += loadString(IDS_UPDATER_CLIENT_NOT_RESTARTED);
    return text;
}

UpdaterWindow::UpdaterWindow(Places places, PackageFile& package, RunningClient& client)
    : Dialog(IDD_UPDATER), places_(std::move(places)), package_(package), client_(client) {}

UpdaterWindow::~UpdaterWindow() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

BOOL UpdaterWindow::onInitDialog() {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                               MAKEINTRESOURCEW(IDI_UPDATER), IMAGE_ICON, 0, 0,
                                               LR_DEFAULTSIZE | LR_SHARED));
    if (icon) {
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ProgressBar(item(IDC_UPDATER_PROGRESS)).setRange(0, 100);
    worker_ = std::thread([this] {
        UpdaterTask task{systemProfile(), places_.programFolder, places_.tempFolder, package_,
                         client_};
        task.cancel = &cancel_;
        task.downloading = [this](const std::string& version) {
            post([this, version] { version_ = gbToWide(version); });
        };
        task.progress = [this](std::uint64_t received, std::uint64_t total) {
            int percent = total ? int(received * 100 / total) : 0;
            if (shownPercent_.exchange(percent) == percent) return;
            post([this, received, total] { showProgress(received, total); });
        };
        task.stage = [this](UpdaterStage stage) {
            UINT text = stage == UpdaterStage::Verifying     ? IDS_UPDATER_VERIFYING
                        : stage == UpdaterStage::EndingClient ? IDS_UPDATER_ENDING_CLIENT
                                                              : IDS_UPDATER_INSTALLING;
            if (stage == UpdaterStage::Installing) installing_ = true;
            post([this, text] {
                if (installing_) enableItem(IDCANCEL, false);
                if (!cancel_ || installing_) setItemText(IDC_UPDATER_STATUS, loadString(text));
            });
        };
        UpdaterOutcome outcome = runUpdater(task);
        post([this, outcome] { finished(outcome); });
    });
    return TRUE;
}

void UpdaterWindow::showProgress(std::uint64_t received, std::uint64_t total) {
    if (done_) return;
    ProgressBar(item(IDC_UPDATER_PROGRESS)).setPosition(total ? int(received * 100 / total) : 0);
    std::wstring text = loadString(IDS_UPDATER_DOWNLOADING) + version_ + L"  " +
                        std::to_wstring(received / 1024) + L" / " +
                        std::to_wstring(total / 1024) + L" KB";
    if (!cancel_) setItemText(IDC_UPDATER_STATUS, text);
}

void UpdaterWindow::finished(UpdaterOutcome outcome) {
    done_ = true;
    outcome_ = outcome;
    const std::wstring text = updaterText(outcome);
    if (!text.empty()) {
        PromptIcon icon = outcome.result == UpdaterResult::UpToDate ||
                                  outcome.result == UpdaterResult::Cancelled
                              ? PromptIcon::Information
                              : PromptIcon::Error;
        prompt({hwnd(), text, loadString(IDS_UPDATER_CAPTION), icon});
    }
    end(outcome.result == UpdaterResult::Started ? IDOK : IDCANCEL);
}

// Cancel asks the worker to stop at its next step; the window closes when it has. Once the
// installer runs, the installer's own window is the one to cancel it.
void UpdaterWindow::onCancel() {
    if (done_ || installing_) return;
    cancel_ = true;
    enableItem(IDCANCEL, false);
    setItemText(IDC_UPDATER_STATUS, loadString(IDS_UPDATER_CANCELLING));
}

}  // namespace tarnix
