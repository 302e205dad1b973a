#pragma once
// PasswordCipher: the form in which config.xml keeps saved passwords. DES (FIPS 46) in
// electronic-codebook use under one built-in key; the cipher text is lowercase hex.
// Short final blocks are padded with zero bytes, which disappear again on decryption.
//
// A cipher object is used for one operation: SetKey, then Encrypt or Decrypt, then read
// the result. Results are bounded by the sizes of the original result buffers (8,192
// hex digits, 4,096 plain bytes with the terminator): longer input is cut to the first
// kMaxBlocks blocks, never written past a buffer.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnix {

class PasswordCipher {
  public:
    // Only the first 8 bytes form the DES key.
    static constexpr std::string_view kBuiltInKey = "qarnelo fint cyp 38207";
    static constexpr size_t kMaxBlocks = 511;

    // Derives the round keys from the first 8 bytes (fewer bytes are padded with zeros).
    void SetKey(std::string_view key);

    void Encrypt(std::string_view plain);
    const std::string& GetCipherText() const { return cipherText_; }

    void Decrypt(std::string_view hex);
    // The decrypted bytes up to the first zero byte.
    std::string GetPlainText() const;

    // The whole round trip under the built-in key, as the program uses it.
    static std::string EncryptPassword(std::string_view password);
    static std::string DecryptPassword(std::string_view hex);

  private:
    uint64_t cryptBlock(uint64_t block, bool decrypt) const;

    uint64_t roundKeys_[16] = {};
    std::string cipherText_;
    std::string plainText_;
};

}  // namespace tarnix
