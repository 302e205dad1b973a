#pragma once
// The provider's public key, which every signed document is checked against. The program
// carries one (the lab's demo key in this build: a provider puts its own here when it
// builds its release); Provider.ini beside the program may name another:
//
//   [Update]
//   PublicKey=<base64 of the DER public key, as `openssl pkey -pubout -outform DER | base64 -w0` prints it>
//
// A PublicKey that is present but empty, not base64 or not a P-256 key gives no key at
// all, so nothing verifies: a damaged setting never falls back to trusting another key.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/Profile.h"

namespace tarnix {

// The key built into the program, as base64 of its DER form.
extern const std::string_view kBuiltInProviderKey;

// The DER key to check against; empty when Provider.ini names an unusable one.
std::string readProviderKey(Profile& profile, const std::filesystem::path& folder);

// Strict base64 (RFC 4648, with padding, no blanks or line breaks); none for anything else.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace tarnix
