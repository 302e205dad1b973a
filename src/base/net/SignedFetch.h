#pragma once
// Fetches a document the provider signs: the document at an address and its detached
// signature at the same address plus ".sig". The document is handed on only when its
// signature verifies against the provider's key; a signature that is missing, malformed,
// too large or made by another key, or over other bytes, makes the document no answer.
//
// Threads: blocks its caller on the network; call it from a worker.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/net/HttpGet.h"

namespace tarnix {

enum class SignedFetchResult {
    Done,          // the document, signed by the provider
    NetworkError,  // no connection, a time-out or a broken answer (document or signature)
    NotOk,         // the document's status was not 200
    TooLarge,      // the document is larger than the caller takes
    Unsigned,      // no signature, or one that does not verify
};

struct SignedDocument {
    SignedFetchResult result = SignedFetchResult::NetworkError;
    std::string bytes;  // only when Done
};

// `publicKey` is DER (ProviderKey.h); an empty key verifies nothing.
SignedDocument fetchSigned(const HttpAddress& address, std::uint32_t timeoutMs,
                           std::uint64_t maxBytes, std::string_view publicKey);

}  // namespace tarnix
