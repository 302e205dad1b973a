#include "update/Updater.h"

#include "store/SafeFile.h"
#include "base/net/ProviderKey.h"
#include "update/Sha256.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFiles.h"
#include "update/UpdateVersion.h"

namespace tarnix {
namespace {

bool cancelled(const UpdaterTask& task) { return task.cancel && task.cancel->load(); }

// Downloads the package into the held file. Started is returned for "downloaded".
UpdaterResult download(const UpdaterTask& task, const UpdatePackage& package) {
    if (!task.package.create()) return UpdaterResult::FileError;
    std::uint64_t received = 0;
    UpdaterResult failure = UpdaterResult::DownloadFailed;
    HttpReceiver receiver;
    receiver.onLength = [&](std::optional<std::uint64_t> length) {
        if (length && *length != package.size) {
            failure = UpdaterResult::WrongSize;
            return false;
        }
        return true;
    };
    receiver.onData = [&](std::string_view bytes) {
        if (cancelled(task)) {
            failure = UpdaterResult::Cancelled;
            return false;
        }
        if (bytes.size() > package.size - received) {
            failure = UpdaterResult::WrongSize;
            return false;
        }
        if (!task.package.write(bytes)) {
            failure = UpdaterResult::FileError;
            return false;
        }
        received += bytes.size();
        if (task.progress) task.progress(received, package.size);
        return true;
    };
    HttpOutcome outcome = httpGet(package.address, task.timeoutMs, receiver);
    switch (outcome.result) {
        case HttpResult::Done:
            return received == package.size ? UpdaterResult::Started : UpdaterResult::WrongSize;
        case HttpResult::NotOk:
            return UpdaterResult::PackageUnavailable;
        case HttpResult::Stopped:
            return failure;
        case HttpResult::NetworkError:
            break;
    }
    return cancelled(task) ? UpdaterResult::Cancelled : UpdaterResult::DownloadFailed;
}

void tell(const UpdaterTask& task, UpdaterStage stage) {
    if (task.stage) task.stage(stage);
}

// Reads the held file back: the bytes that will start are the bytes checked.
UpdaterResult verify(const UpdaterTask& task, const UpdatePackage& package) {
    tell(task, UpdaterStage::Verifying);
    Sha256 hash;
    std::uint64_t size = 0;
    if (!task.package.holdAndRead([&](std::string_view piece) {
            hash.add(piece);
            size += piece.size();
        })) {
        return UpdaterResult::FileError;
    }
    if (size != package.size) return UpdaterResult::WrongSize;
    if (hash.finish() != package.sha256) return UpdaterResult::WrongHash;
    return UpdaterResult::Started;
}

UpdaterResult fetchAndStart(const UpdaterTask& task, UpdaterOutcome& outcome) {
    UpdateSource source = readUpdateSource(task.profile, task.programFolder);
    std::optional<HttpAddress> address = parseHttpUrl(source.url);
    if (!address) return UpdaterResult::NoSource;

    std::string bytes;
    // The package's size and hash are only as good as the list that names them.
    const std::string key = readProviderKey(task.profile, task.programFolder);
    switch (fetchUpdateList(*address, task.timeoutMs, key, bytes)) {
        case UpdateCheckResult::UpToDate:
            break;
        case UpdateCheckResult::Unsigned:
            return UpdaterResult::UnsignedList;
        default:
            return cancelled(task) ? UpdaterResult::Cancelled : UpdaterResult::ListUnavailable;
    }
    std::filesystem::path listFile = task.tempFolder / kUpdateListName;
    std::string error;
    if (!writeWholeFile(listFile, bytes, error)) return UpdaterResult::FileError;
    UpdateList list = readUpdateList(task.profile, listFile);
    outcome.version = list.version;
    if (!parseVersion(list.version) || !parseVersion(source.installedVersion))
        return UpdaterResult::BadList;
    if (!isNewerVersion(list.version, source.installedVersion)) return UpdaterResult::UpToDate;
    if (!list.package) return UpdaterResult::BadList;
    if (cancelled(task)) return UpdaterResult::Cancelled;
    if (task.downloading) task.downloading(list.version);

    UpdaterResult result = download(task, *list.package);
    if (result == UpdaterResult::Started) result = verify(task, *list.package);
    if (result != UpdaterResult::Started) return result;
    if (cancelled(task)) return UpdaterResult::Cancelled;

    tell(task, UpdaterStage::EndingClient);
    switch (task.client.end()) {
        case ClientEnd::StillRunning:
            return UpdaterResult::ClientRunning;
        case ClientEnd::Ended:
            outcome.clientEnded = true;
            break;
        case ClientEnd::NoneRunning:
            break;
    }
    // A cancel pressed while the client was ending is still in time.
    if (cancelled(task)) return UpdaterResult::Cancelled;
    if (!task.package.start()) return UpdaterResult::StartFailed;
    tell(task, UpdaterStage::Installing);
    return task.package.installed() ? UpdaterResult::Started : UpdaterResult::InstallerFailed;
}

}  // namespace

UpdaterOutcome runUpdater(const UpdaterTask& task) {
    UpdaterOutcome outcome;
    outcome.result = fetchAndStart(task, outcome);
    // A package that did not install is not left to be started by anyone else.
    if (outcome.result != UpdaterResult::Started) task.package.discard();
    const bool failedOnItsOwn = outcome.result == UpdaterResult::StartFailed ||
                                outcome.result == UpdaterResult::InstallerFailed;
    if (outcome.clientEnded && failedOnItsOwn) outcome.clientRestarted = task.client.restart();
    return outcome;
}

}  // namespace tarnix
