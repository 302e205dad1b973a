#include "update/UpdateCheck.h"

#include "store/SafeFile.h"
#include "update/UpdateFiles.h"
#include "update/UpdateVersion.h"

namespace tarnix {

UpdateCheckResult fetchUpdateList(const HttpAddress& address, std::uint32_t timeoutMs,
                                  std::string& bytes) {
    bool tooLarge = false;
    HttpReceiver receiver;
    receiver.onLength = [&](std::optional<std::uint64_t> length) {
        tooLarge = length && *length > kMaxUpdateListBytes;
        return !tooLarge;
    };
    receiver.onData = [&](std::string_view piece) {
        tooLarge = bytes.size() + piece.size() > kMaxUpdateListBytes;
        if (!tooLarge) bytes.append(piece);
        return !tooLarge;
    };
    HttpOutcome outcome = httpGet(address, timeoutMs, receiver);
    switch (outcome.result) {
        case HttpResult::Done:
            return UpdateCheckResult::UpToDate;  // the caller reads the list
        case HttpResult::NotOk:
            return UpdateCheckResult::NotOk;
        case HttpResult::Stopped:
            return tooLarge ? UpdateCheckResult::TooLarge : UpdateCheckResult::NetworkError;
        case HttpResult::NetworkError:
            break;
    }
    return UpdateCheckResult::NetworkError;
}

UpdateCheckOutcome checkForUpdate(Profile& profile, const std::filesystem::path& programFolder,
                                  const std::filesystem::path& tempFolder,
                                  std::uint32_t timeoutMs) {
    UpdateCheckOutcome outcome;
    UpdateSource source = readUpdateSource(profile, programFolder);
    std::optional<HttpAddress> address = parseHttpUrl(source.url);
    if (!address) return outcome;

    std::string bytes;
    outcome.result = fetchUpdateList(*address, timeoutMs, bytes);
    if (outcome.result != UpdateCheckResult::UpToDate) return outcome;

    // Written whole or not at all, so a list cut short never stands in the folder.
    std::filesystem::path file = tempFolder / kUpdateListName;
    std::string error;
    if (!writeWholeFile(file, bytes, error)) {
        outcome.result = UpdateCheckResult::FileError;
        return outcome;
    }
    outcome.available = readUpdateList(profile, file).version;
    if (!parseVersion(outcome.available) || !parseVersion(source.installedVersion)) {
        outcome.result = UpdateCheckResult::BadVersion;
    } else if (isNewerVersion(outcome.available, source.installedVersion)) {
        outcome.result = UpdateCheckResult::NewerVersion;
    }
    return outcome;
}

}  // namespace tarnix
