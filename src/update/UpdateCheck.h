#pragma once
// The update check: reads UpdateConfig.ini beside the program, fetches the version list
// into the temporary folder (only a complete answer with status 200, signed by the
// provider, is written there) and says whether the list names a newer version than the
// installed one. Every failure
// is only a result: the caller tells nothing and asks nothing then.
//
// Threads: blocks on the network; run it on a worker.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/Profile.h"
#include "base/net/HttpGet.h"

namespace tarnix {

enum class UpdateCheckResult {
    NoSource,      // no URL, or not an http one: nothing was requested
    NetworkError,  // no connection, a time-out or a broken answer
    NotOk,         // a status other than 200
    TooLarge,      // more than a version list can be
    Unsigned,      // the list's signature is missing or does not verify
    FileError,     // UpdateList.ini could not be written
    BadVersion,    // the installed or the listed version is not a version number
    UpToDate,
    NewerVersion,
};

struct UpdateCheckOutcome {
    UpdateCheckResult result = UpdateCheckResult::NoSource;
    std::string available;  // the listed version, once the list was read
};

UpdateCheckOutcome checkForUpdate(Profile& profile, const std::filesystem::path& programFolder,
                                  const std::filesystem::path& tempFolder,
                                  std::uint32_t timeoutMs = kHttpTimeoutMs);

// Fetches a version list of at most kMaxUpdateListBytes, signed by `publicKey` (DER), into
// `bytes`. UpToDate stands for "fetched".
UpdateCheckResult fetchUpdateList(const HttpAddress& address, std::uint32_t timeoutMs,
                                  std::string_view publicKey, std::string& bytes);

}  // namespace tarnix
