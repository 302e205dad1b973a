#pragma once
// The two files of the update check. UpdateConfig.ini beside the program names the
// installed version and where the version list lies:
//
//   [Version]
//   Version=1.2
//   [URL]
//   URL=http://update.example/tarnix/UpdateList.ini
//
// UpdateList.ini, fetched from there, names the newest version and the package that
// installs it, with the package's exact size in bytes and its SHA-256:
//
//   [Version]
//   Version=1.3
//   [Package]
//   URL=http://update.example/tarnix/TarnixSetup-1.3.exe
//   Size=1234567
//   SHA256=<64 hex digits>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/Profile.h"
#include "update/Sha256.h"
#include "base/net/Url.h"

namespace tarnix {

inline constexpr std::string_view kUpdateConfigName = "UpdateConfig.ini";
inline constexpr std::string_view kUpdateListName = "UpdateList.ini";
inline constexpr std::string_view kUpdaterName = "Updata.exe";

// The largest version list read: it is a few lines, and a server sending more is not
// serving one.
inline constexpr std::uint64_t kMaxUpdateListBytes = 64 * 1024;
// The largest package downloaded.
inline constexpr std::uint64_t kMaxPackageBytes = 1ull << 30;

struct UpdateSource {
    std::string installedVersion;  // "1.0" when missing
    std::string url;               // empty when missing
};

// Reads UpdateConfig.ini in `programFolder`.
UpdateSource readUpdateSource(Profile& profile, const std::filesystem::path& programFolder);

struct UpdatePackage {
    HttpAddress address;
    std::uint64_t size = 0;
    Sha256Digest sha256{};
};

struct UpdateList {
    std::string version;                  // "0.0" when missing
    std::optional<UpdatePackage> package;  // none when missing or not usable
};

UpdateList readUpdateList(Profile& profile, const std::filesystem::path& file);

// A package size: decimal digits, 1 to kMaxPackageBytes.
std::optional<std::uint64_t> parsePackageSize(std::string_view text);

}  // namespace tarnix
