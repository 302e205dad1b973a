#include "update/UpdateFiles.h"

#include "base/net/HttpGet.h"

namespace tarnix {

UpdateSource readUpdateSource(Profile& profile, const std::filesystem::path& programFolder) {
    std::filesystem::path file = programFolder / kUpdateConfigName;
    UpdateSource source;
    source.installedVersion = profile.readString(file, "Version", "Version", "1.0");
    source.url = profile.readString(file, "URL", "URL", "");
    return source;
}

std::optional<std::uint64_t> parsePackageSize(std::string_view text) {
    std::optional<std::uint64_t> size = parseContentLength(text);
    if (!size || *size == 0 || *size > kMaxPackageBytes) return std::nullopt;
    return size;
}

UpdateList readUpdateList(Profile& profile, const std::filesystem::path& file) {
    UpdateList list;
    list.version = profile.readString(file, "Version", "Version", "0.0");
    std::optional<HttpAddress> address =
        parseHttpUrl(profile.readString(file, "Package", "URL", ""));
    std::optional<std::uint64_t> size =
        parsePackageSize(profile.readString(file, "Package", "Size", ""));
    std::optional<Sha256Digest> digest =
        parseSha256(profile.readString(file, "Package", "SHA256", ""));
    if (address && size && digest) list.package = UpdatePackage{*address, *size, *digest};
    return list;
}

}  // namespace tarnix
