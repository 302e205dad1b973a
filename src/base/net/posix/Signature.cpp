// Signatures through OpenSSL's libcrypto: the key must be an EC key on prime256v1, and the
// signature DER as ECDSA_verify wants it (libcrypto refuses non-canonical encodings).
#include "base/net/Signature.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstring>
#include <memory>

namespace tarnix {
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;

Key readKey(std::string_view der) {
    if (der.empty() || der.size() > 4096) return nullptr;
    auto bytes = reinterpret_cast<const unsigned char*>(der.data());
    const unsigned char* at = bytes;
    Key key(d2i_PUBKEY(nullptr, &at, long(der.size())));
    // Trailing bytes after the key are not a key.
    if (!key || at != bytes + der.size()) return nullptr;
    char group[64] = "";
    std::size_t length = 0;
    if (!EVP_PKEY_is_a(key.get(), "EC") ||
        !EVP_PKEY_get_utf8_string_param(key.get(), "group", group, sizeof group, &length) ||
        std::strcmp(group, "prime256v1") != 0) {
        return nullptr;
    }
    return key;
}

}  // namespace

bool isProviderKey(std::string_view publicKeyDer) {
    return readKey(publicKeyDer) != nullptr;
}

bool verifyProviderSignature(std::string_view publicKeyDer, std::string_view document,
                             std::string_view signature) {
    if (signature.empty() || signature.size() > kMaxSignatureBytes) return false;
    Key key = readKey(publicKeyDer);
    if (!key) return false;
    std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
    if (!context ||
        EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1) {
        return false;
    }
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                            signature.size(),
                            reinterpret_cast<const unsigned char*>(document.data()),
                            document.size()) == 1;
}

}  // namespace tarnix
