#pragma once
// Fuzz cases for everything the client reads from the network: the head of an HTTP answer,
// the provider's message list, the version list (as UpdateList.ini, read back through the
// profile reader), signatures and keys, and the addresses the lists and pages carry. Each
// case checks what must hold for any input; shared by the libFuzzer targets and by the core
// test that runs a few thousand inputs of each.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/Profile.h"
#include "messages/MessageList.h"
#include "news/NewsPage.h"
#include "base/net/HttpGet.h"
#include "base/net/ProviderKey.h"
#include "base/net/Signature.h"
#include "update/UpdateFiles.h"
#include "base/net/Url.h"
#include "update/UpdateVersion.h"

namespace tarnix::fuzz {

enum class NetworkInput { HttpHead, MessageList, UpdateList, Signature, Address };

// A P-256 key, for the signature case: with it only the provider's own signature of the
// input could ever verify, and random bytes are none.
inline constexpr std::string_view kFuzzKey =
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEdwZpxeC7J8WZ0WXJqkdU/hAIky4N+2HykcvfakqWTyvFdUAgMD7l"
    "x6GUypT23/fhZIOIKnqljujFHJ+hnLuMdw==";

inline std::string checkHttpHead(std::string_view text) {
    const HttpHead head = parseHttpHead(text);
    if (!head.valid) return {};
    if (head.status < 0 || head.status > 999) return "a status of more than three digits";
    if (head.length && !head.lengthValid) return "a length that is not one";
    if (auto length = parseContentLength(text); length && *length >= 1000000000000000000ull)
        return "a length of 19 digits";
    return {};
}

inline std::string checkMessageList(std::string_view text) {
    const MessageListLimits limits;
    const auto list = parseMessageList(text, limits);
    if (!list) return {};
    if (list->size() > limits.maxItems) return "more messages than one list gives";
    for (const Message& m : *list) {
        if (m.title.empty()) return "a message without a title";
        if (m.title.size() > limits.maxTitle || m.url.size() > limits.maxUrl ||
            m.content.size() > limits.maxContent || m.type.size() > limits.maxType)
            return "an oversized field";
        if (!m.url.empty() && !isMessageAddress(m.url)) return "an address that may not open";
    }
    return {};
}

inline std::string checkUpdateList(std::string_view text, const std::filesystem::path& file) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(text.data(), std::streamsize(text.size()));
    }
    const UpdateList list = readUpdateList(systemProfile(), file);
    if (parseVersion(list.version)) isNewerVersion(list.version, "1.0");
    if (list.package) {
        if (list.package->size == 0 || list.package->size > kMaxPackageBytes)
            return "a package size out of range";
        if (list.package->address.host.empty()) return "a package without a host";
    }
    return {};
}

inline std::string checkSignature(std::string_view bytes) {
    static const std::string key = decodeBase64(kFuzzKey).value_or("");
    if (verifyProviderSignature(key, "[Version]\r\nVersion=9.9\r\n", bytes))
        return "random bytes verified";
    // The bytes as a key, raw and as Provider.ini's base64 text.
    isProviderKey(bytes);
    if (auto decoded = decodeBase64(bytes)) {
        if (decoded->size() * 4 > bytes.size() * 3) return "base64 decoded to more than it holds";
        isProviderKey(*decoded);
    }
    return {};
}

inline std::string checkAddress(std::string_view text) {
    if (auto address = parseHttpUrl(text)) {
        if (address->host.empty() || address->path.empty() || address->path[0] != '/')
            return "an http address without a host or a path";
    }
    const std::string authority = httpAuthority(text);
    if (!authority.empty() && !isNewsHostAddress(text, authority))
        return "an address not on its own host";
    if (isNewsHostAddress(text, "news.example") && text != "about:blank" &&
        httpAuthority(text).empty())
        return "a non-http address on the news host";
    isMessageAddress(text);
    return {};
}

// Returns what went wrong, or an empty string. `scratch` is a file the update list case
// may write.
inline std::string runNetworkFuzzCase(NetworkInput input, const uint8_t* data, size_t size,
                                      const std::filesystem::path& scratch) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    switch (input) {
        case NetworkInput::HttpHead:
            return checkHttpHead(text);
        case NetworkInput::MessageList:
            return checkMessageList(text);
        case NetworkInput::UpdateList:
            return checkUpdateList(text, scratch);
        case NetworkInput::Signature:
            return checkSignature(text);
        case NetworkInput::Address:
            return checkAddress(text);
    }
    return {};
}

}  // namespace tarnix::fuzz
