#include "update/win/UpdateOffer.h"

#include "base/Profile.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "store/ConfigStore.h"
#include "update/UpdateCheck.h"
#include "update/UpdaterStart.h"
#include "resource.h"
#include "update_ids.h"
#include "widgets/win/UiTask.h"
#include "base/ThreadName.h"

namespace tarnix {

bool AutomaticUpdateCheck::start(HWND owner, ConfigStore& config,
                                 const std::filesystem::path& programFolder,
                                 std::uint32_t timeoutMs) {
    if (started_ || !config.GetUpdateCheck()) return false;
    started_ = true;
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) return false;
    // The worker has copies of all it uses; only the offer comes back to the window.
    worker_ = std::thread([owner, programFolder, temp, timeoutMs, done = done_] {
        nameThisThread("update check");
        UpdateCheckOutcome outcome =
            checkForUpdate(systemProfile(), programFolder, temp, timeoutMs);
        if (outcome.result == UpdateCheckResult::NewerVersion)
            postUiTask(owner, [owner, programFolder] { offerUpdate(owner, programFolder); });
        *done = true;
    });
    return true;
}

void AutomaticUpdateCheck::wait() {
    if (worker_.joinable()) worker_.join();
}

void AutomaticUpdateCheck::waitUntil(std::chrono::steady_clock::time_point deadline) {
    if (!worker_.joinable()) return;
    while (!*done_ && std::chrono::steady_clock::now() < deadline) Sleep(10);
    if (*done_)
        worker_.join();
    else
        worker_.detach();
}

void offerUpdate(HWND owner, const std::filesystem::path& programFolder) {
    int answer = prompt({owner, text(IDS_UPDATE_FOUND), text(IDS_UPDATE_FOUND_CAPTION),
                         PromptIcon::Question, PromptButtons::YesNo});
    if (answer == kAnswerYes) startUpdaterFor(owner, programFolder);
}

void startUpdaterFor(HWND owner, const std::filesystem::path& programFolder) {
    UpdaterStart started = startUpdater(programFolder);
    if (started == UpdaterStart::Started) return;
    UINT why = started == UpdaterStart::Missing ? IDS_UPDATER_MISSING : IDS_UPDATER_NOT_STARTED;
    prompt({owner, text(why), text(IDS_PROMPT_CAPTION), PromptIcon::Error});
}

}  // namespace tarnix
