#include "base/net/SignedFetch.h"

#include "base/net/Signature.h"

namespace tarnix {
namespace {

struct Body {
    HttpResult result = HttpResult::NetworkError;
    bool tooLarge = false;
    std::string bytes;
};

Body fetchBody(const HttpAddress& address, std::uint32_t timeoutMs, std::uint64_t maxBytes) {
    Body body;
    HttpReceiver receiver;
    receiver.onLength = [&](std::optional<std::uint64_t> length) {
        body.tooLarge = length && *length > maxBytes;
        return !body.tooLarge;
    };
    receiver.onData = [&](std::string_view piece) {
        body.tooLarge = body.bytes.size() + piece.size() > maxBytes;
        if (!body.tooLarge) body.bytes.append(piece);
        return !body.tooLarge;
    };
    body.result = httpGet(address, timeoutMs, receiver).result;
    return body;
}

}  // namespace

SignedDocument fetchSigned(const HttpAddress& address, std::uint32_t timeoutMs,
                           std::uint64_t maxBytes, std::string_view publicKey) {
    SignedDocument document;
    Body body = fetchBody(address, timeoutMs, maxBytes);
    switch (body.result) {
        case HttpResult::Done:
            break;
        case HttpResult::NotOk:
            document.result = SignedFetchResult::NotOk;
            return document;
        case HttpResult::Stopped:
            if (body.tooLarge) document.result = SignedFetchResult::TooLarge;
            return document;
        case HttpResult::NetworkError:
            return document;
    }

    HttpAddress signatureAddress = address;
    signatureAddress.path += ".sig";
    Body signature = fetchBody(signatureAddress, timeoutMs, kMaxSignatureBytes);
    if (signature.result == HttpResult::NetworkError) return document;
    // A missing or oversized signature is as good as a wrong one.
    if (signature.result != HttpResult::Done ||
        !verifyProviderSignature(publicKey, body.bytes, signature.bytes)) {
        document.result = SignedFetchResult::Unsigned;
        return document;
    }
    document.result = SignedFetchResult::Done;
    document.bytes = std::move(body.bytes);
    return document;
}

}  // namespace tarnix
