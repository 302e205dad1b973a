#include "update/UpdateCheck.h"

#include "store/SafeFile.h"
#include "base/net/ProviderKey.h"
#include "base/net/SignedFetch.h"
#include "update/UpdateFiles.h"
#include "update/UpdateVersion.h"

namespace tarnix {

UpdateCheckResult fetchUpdateList(const HttpAddress& address, std::uint32_t timeoutMs,
                                  std::string_view publicKey, std::string& bytes) {
    SignedDocument list = fetchSigned(address, timeoutMs, kMaxUpdateListBytes, publicKey);
    switch (list.result) {
        case SignedFetchResult::Done:
            bytes = std::move(list.bytes);
            return UpdateCheckResult::UpToDate;  // the caller reads the list
        case SignedFetchResult::NotOk:
            return UpdateCheckResult::NotOk;
        case SignedFetchResult::TooLarge:
            return UpdateCheckResult::TooLarge;
        case SignedFetchResult::Unsigned:
            return UpdateCheckResult::Unsigned;
        case SignedFetchResult::NetworkError:
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
    outcome.result =
        fetchUpdateList(*address, timeoutMs, readProviderKey(profile, programFolder), bytes);
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
