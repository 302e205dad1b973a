// Signatures through the system's cryptography: CryptoAPI decodes the DER key and
// signature, CNG hashes and verifies. Only a P-256 key is imported, so a key of another
// curve or algorithm never verifies anything.
#include "base/net/Signature.h"

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/win/Scoped.h"

namespace tarnix {
namespace {

using ScopedDecoded = ScopedLocalMemory<void*>;

constexpr std::size_t kCoordinate = 32;  // bytes of a P-256 coordinate

// True when `der` is exactly one DER SEQUENCE: CryptDecodeObjectEx ignores bytes after
// the first value, and a key or signature with a tail is not the one that was published.
bool isOneSequence(std::string_view der) {
    if (der.size() < 2 || std::uint8_t(der[0]) != 0x30) return false;
    std::size_t length = std::uint8_t(der[1]), header = 2;
    if (length & 0x80) {
        std::size_t bytes = length & 0x7F;
        if (bytes == 0 || bytes > 2 || der.size() < 2 + bytes) return false;
        length = 0;
        for (std::size_t i = 0; i < bytes; ++i) length = length << 8 | std::uint8_t(der[2 + i]);
        header += bytes;
    }
    return header + length == der.size();
}

// CryptDecodeObjectEx into memory it allocates; null when the bytes are not one `type`.
ScopedDecoded decode(LPCSTR type, std::string_view der) {
    void* decoded = nullptr;
    DWORD size = 0;
    if (der.size() > 4096 || !isOneSequence(der) ||
        !CryptDecodeObjectEx(X509_ASN_ENCODING, type,
                             reinterpret_cast<const BYTE*>(der.data()), DWORD(der.size()),
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size)) {
        return ScopedDecoded();
    }
    return ScopedDecoded(decoded);
}

// The uncompressed point 04 || X || Y of a P-256 SubjectPublicKeyInfo; empty otherwise.
std::string pointOf(std::string_view der) {
    ScopedDecoded decoded = decode(X509_PUBLIC_KEY_INFO, der);
    if (!decoded) return {};
    auto* info = static_cast<CERT_PUBLIC_KEY_INFO*>(decoded.get());
    // The curve's name, DER-encoded: OID 1.2.840.10045.3.1.7.
    static const BYTE kP256[] = {0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07};
    const CRYPT_BIT_BLOB& bits = info->PublicKey;
    const CRYPT_OBJID_BLOB& curve = info->Algorithm.Parameters;
    if (!info->Algorithm.pszObjId || std::strcmp(info->Algorithm.pszObjId, szOID_ECC_PUBLIC_KEY) != 0 ||
        curve.cbData != sizeof kP256 || std::memcmp(curve.pbData, kP256, sizeof kP256) != 0 ||
        bits.cUnusedBits != 0 || bits.cbData != 1 + 2 * kCoordinate || bits.pbData[0] != 0x04) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(bits.pbData), bits.cbData);
}

// A CRYPT_UINT_BLOB (little-endian, leading zeros maybe dropped) as 32 big-endian bytes.
bool bigEndian(const CRYPT_UINT_BLOB& value, BYTE* out) {
    DWORD size = value.cbData;
    while (size > kCoordinate && value.pbData[size - 1] == 0) --size;
    if (size == 0 || size > kCoordinate) return false;
    std::memset(out, 0, kCoordinate);
    for (DWORD i = 0; i < size; ++i) out[kCoordinate - 1 - i] = value.pbData[i];
    return true;
}

bool sha256(std::string_view bytes, BYTE (&digest)[32]) {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return false;
    ScopedCngAlgorithm algorithm(opened);
    BCRYPT_HASH_HANDLE created = nullptr;
    if (BCryptCreateHash(algorithm.get(), &created, nullptr, 0, nullptr, 0, 0) != 0) return false;
    ScopedCngHash hash(created);
    while (!bytes.empty()) {
        ULONG piece = ULONG(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                           piece, 0) != 0) {
            return false;
        }
        bytes.remove_prefix(piece);
    }
    return BCryptFinishHash(hash.get(), digest, sizeof digest, 0) == 0;
}

}  // namespace

bool isProviderKey(std::string_view publicKeyDer) {
    return !pointOf(publicKeyDer).empty();
}

bool verifyProviderSignature(std::string_view publicKeyDer, std::string_view document,
                             std::string_view signature) {
    if (signature.empty() || signature.size() > kMaxSignatureBytes) return false;
    std::string point = pointOf(publicKeyDer);
    if (point.empty()) return false;

    // CNG takes the key as its own blob: the header, then X and Y.
    std::vector<BYTE> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinate);
    auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
    header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header->cbKey = kCoordinate;
    std::memcpy(blob.data() + sizeof *header, point.data() + 1, 2 * kCoordinate);
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0)
        return false;
    ScopedCngAlgorithm algorithm(opened);
    BCRYPT_KEY_HANDLE imported = nullptr;
    if (BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported,
                            blob.data(), ULONG(blob.size()), 0) != 0) {
        return false;
    }
    ScopedCngKey key(imported);

    // The DER SEQUENCE { r, s } becomes the r || s that CNG verifies.
    ScopedDecoded decoded = decode(X509_ECC_SIGNATURE, signature);
    if (!decoded) return false;
    auto* pair = static_cast<CERT_ECC_SIGNATURE*>(decoded.get());
    BYTE rs[2 * kCoordinate];
    if (!bigEndian(pair->r, rs) || !bigEndian(pair->s, rs + kCoordinate)) return false;

    BYTE digest[32];
    if (!sha256(document, digest)) return false;
    return BCryptVerifySignature(key.get(), nullptr, digest, sizeof digest, rs, sizeof rs, 0) == 0;
}

}  // namespace tarnix
