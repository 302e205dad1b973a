#pragma once
// Whether a document comes from the provider: an ECDSA P-256 signature over the SHA-256 of
// the document's exact bytes, DER-encoded as `openssl dgst -sha256 -sign key.pem` writes it,
// checked against the provider's public key (the DER SubjectPublicKeyInfo that
// `openssl pkey -pubout -outform DER` writes). The system's own cryptography does the
// work: CNG on Windows, OpenSSL's libcrypto in the native build.
//
// Threads: any; nothing is shared between calls.

#include <cstddef>
#include <string_view>

namespace tarnix {

// The largest signature fetched or looked at: a P-256 signature is at most 72 bytes.
inline constexpr std::size_t kMaxSignatureBytes = 512;

// True when `publicKeyDer` is a P-256 public key.
bool isProviderKey(std::string_view publicKeyDer);

// True only when `signature` is a P-256 signature of `document` by `publicKeyDer`. Every
// malformed key or signature is simply false.
bool verifyProviderSignature(std::string_view publicKeyDer, std::string_view document,
                             std::string_view signature);

}  // namespace tarnix
