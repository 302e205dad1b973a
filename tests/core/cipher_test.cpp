// The password cipher: FIPS 46 DES in ECB under the built-in key, as hex.
#include <gtest/gtest.h>

#include "store/PasswordCipher.h"

namespace tarnix {
namespace {

std::string bytesOf(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

TEST(PasswordCipher, MatchesPublishedKnownAnswers) {
    // NBS Special Publication 500-20 (variable plaintext, variable key, permutation and
    // substitution tables) and the worked example of the standard.
    struct Vector {
        const char* key;
        const char* plain;
        const char* cipher;
    };
    const Vector vectors[] = {
        {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
        {"0101010101010101", "4000000000000000", "dd7f121ca5015619"},
        {"8001010101010101", "0000000000000000", "95a8d72813daa94d"},
        {"1046913489980131", "0000000000000000", "88d55e54f54c97b4"},
        {"7ca110454a1a6e57", "01a1d6d039776742", "690f5b0d9a26939b"},
        {"0131d9619dc1376e", "5cd54ca83def57da", "7a389d10354bd271"},
        {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
    };
    for (const auto& v : vectors) {
        PasswordCipher cipher;
        cipher.SetKey(bytesOf(v.key));
        cipher.Encrypt(bytesOf(v.plain));
        EXPECT_EQ(cipher.GetCipherText(), v.cipher) << v.key;
        cipher.Decrypt(v.cipher);
        // The decrypted block, read up to its first zero byte.
        EXPECT_EQ(cipher.GetPlainText(), bytesOf(v.plain).c_str()) << v.key;
    }
}

TEST(PasswordCipher, BuiltInKeyWithZeroPaddedBlocks) {
    EXPECT_EQ(PasswordCipher::EncryptPassword("\xd5\xc5\xc8\xfd"
                                              "abc"),
              "15ffbb0a38110196");
    EXPECT_EQ(PasswordCipher::EncryptPassword("\xd6\xd0\xce\xc4"
                                              "123456"),
              "219a123e593ac437b30c30e7e841e991");
    EXPECT_EQ(PasswordCipher::EncryptPassword("0123456789abcdef"),
              "b209db2c4eb115b24c899aec0165a311");
}

TEST(PasswordCipher, RoundTripsEveryPasswordLength) {
    const std::string source = "\xd6\xd0\xce\xc4w0rd'\"<&\xb4\xfd\xbd\xe2";  // 16 bytes
    for (size_t n = 1; n <= source.size(); ++n) {
        const std::string password = source.substr(0, n);
        const std::string hex = PasswordCipher::EncryptPassword(password);
        EXPECT_EQ(hex.size(), n <= 8 ? 16u : 32u) << n;
        EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_EQ(PasswordCipher::EncryptPassword(password), hex) << "no salt, no chaining";
        EXPECT_EQ(PasswordCipher::DecryptPassword(hex), password) << n;
        std::string upper = hex;
        for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(PasswordCipher::DecryptPassword(upper), password) << n;
    }
}

TEST(PasswordCipher, BadLengthsGiveTheMessageText) {
    const std::string message =
        "\xb4\xfd\xbd\xe2\xc3\xdc\xd7\xd6\xb7\xfb\xb3\xa4\xb6\xc8\xb1\xd8\xd0\xeb\xce\xaa"
        "16\xb5\xc4\xb1\xb6\xca\xfd\xa3\xa1";
    for (size_t n : {0, 1, 15, 17, 20, 31, 33})
        EXPECT_EQ(PasswordCipher::DecryptPassword(std::string(n, 'a')), message) << n;
    EXPECT_NE(PasswordCipher::DecryptPassword("zzzzzzzzzzzzzzzz"), message);  // garbage, no crash
}

TEST(PasswordCipher, OverlongInputIsCutToTheBuffers) {
    const std::string longPassword(5000, 'x');
    const std::string hex = PasswordCipher::EncryptPassword(longPassword);
    EXPECT_EQ(hex.size(), PasswordCipher::kMaxBlocks * 16);
    EXPECT_EQ(PasswordCipher::DecryptPassword(hex),
              std::string(PasswordCipher::kMaxBlocks * 8, 'x'));
    EXPECT_EQ(PasswordCipher::DecryptPassword(hex + hex),
              std::string(PasswordCipher::kMaxBlocks * 8, 'x'));
}

}  // namespace
}  // namespace tarnix
