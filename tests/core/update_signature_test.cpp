// The provider's key and signatures with the system's cryptography: keys in the form a
// provider pastes into Provider.ini, and what verifies and what never does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../support/update_Signer.h"
#include "base/net/ProviderKey.h"
#include "base/net/Signature.h"

namespace tarnix {
namespace {

using testing::kOtherKey;
using testing::kSigningKey;
using testing::publicKeyDer;
using testing::signWith;

TEST(ProviderKey, Base64IsReadStrictly) {
    EXPECT_EQ(decodeBase64("TWFu"), "Man");
    EXPECT_EQ(decodeBase64("TWE="), "Ma");
    EXPECT_EQ(decodeBase64("TQ=="), "M");
    EXPECT_EQ(decodeBase64("+/+/"), "\xfb\xff\xbf");
    for (const char* bad : {"", "TWF", "TW=u", "TQ===", "====", "TR==", "TWF=", "TW E",
                            "TWFu\r\n", "TWF\x80", "-_-_"}) {
        EXPECT_FALSE(decodeBase64(bad)) << bad;
    }
}

TEST(ProviderKey, OnlyAP256KeyIsAKey) {
    EXPECT_TRUE(isProviderKey(publicKeyDer(kSigningKey)));
    EXPECT_TRUE(isProviderKey(decodeBase64(kBuiltInProviderKey).value_or("")));
    std::string key = publicKeyDer(kSigningKey);
    EXPECT_FALSE(isProviderKey(""));
    EXPECT_FALSE(isProviderKey(key.substr(0, key.size() - 1)));
    EXPECT_FALSE(isProviderKey(key + std::string(1, '\0')));
    std::string offCurve = key;
    offCurve[offCurve.size() - 1] ^= 1;  // Y no longer on the curve
    EXPECT_FALSE(verifyProviderSignature(offCurve, "x", signWith(kSigningKey, "x")));
}

TEST(ProviderSignature, VerifiesTheSignedBytesAndNothingElse) {
    const std::string key = publicKeyDer(kSigningKey);
    static const char kBytes[] = "[Version]\r\nVersion=1.3\r\n\0tail";
    const std::string document(kBytes, sizeof kBytes - 1);
    const std::string signature = signWith(kSigningKey, document);
    EXPECT_TRUE(verifyProviderSignature(key, document, signature));
    EXPECT_TRUE(verifyProviderSignature(key, "", signWith(kSigningKey, "")));

    EXPECT_FALSE(verifyProviderSignature(key, document.substr(0, document.size() - 1), signature));
    EXPECT_FALSE(verifyProviderSignature(key, document + "\n", signature));
    EXPECT_FALSE(verifyProviderSignature(key, document, signWith(kOtherKey, document)));
    EXPECT_FALSE(verifyProviderSignature(publicKeyDer(kOtherKey), document, signature));
    EXPECT_FALSE(verifyProviderSignature("", document, signature));
    for (std::size_t i = 0; i < signature.size(); ++i) {
        std::string flipped = signature;
        flipped[i] ^= 0x40;
        EXPECT_FALSE(verifyProviderSignature(key, document, flipped)) << "byte " << i;
        EXPECT_FALSE(verifyProviderSignature(key, document, signature.substr(0, i))) << i;
    }
    EXPECT_FALSE(verifyProviderSignature(key, document, std::string(10u << 20, '\x30')));
}

// The lab's demo key (tools/lab-provider/lab-demo-key.pem) signed the version list among the
// fuzz seeds: the key built into this build is its public half, so ./run's signed lists
// are believed.
TEST(ProviderSignature, TheBuiltInKeyIsTheLabsDemoKey) {
    auto read = [](const char* name) {
        std::ifstream in(std::filesystem::path(TARNIX_FUZZ_SEEDS) / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string list = read("update_list/list"), signature = read("signature/der");
    ASSERT_FALSE(list.empty());
    EXPECT_TRUE(verifyProviderSignature(decodeBase64(kBuiltInProviderKey).value_or(""), list,
                                        signature));
}

}  // namespace
}  // namespace tarnix
