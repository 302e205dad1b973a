// The login form's accounts: what it shows, what the connect command accepts, what it saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "TextIds.h"
#include "base/Texts.h"
#include "base/DialEntry.h"
#include "../support/PromptRecorder.h"
#include "dial/AccountForm.h"
#include "store/PasswordCipher.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

class LoginForm : public ::testing::Test {
  protected:
    void TearDown() override { fs::remove_all(dir_); }

    std::string fileBytes() {
        std::ifstream in(config_.FilePath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string savedPassword(const std::string& name) {
        std::vector<std::string> names, passwords;
        config_.ListAccounts(kDialEntryName, names, passwords);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return passwords[i];
        return "<none>";
    }
    std::string lastUser() {
        std::vector<std::string> names, passwords;
        config_.GetLastAccount(names, passwords);
        return names.empty() ? "<none>" : names.back() + "/" + passwords.back();
    }
    // The connect command's checks and, when they pass, the save its dial makes.
    std::optional<DialRequest> accept(const LoginFields& fields) {
        auto request = form_.prepareDial(fields);
        if (request) AccountForm::save(config_, *request);
        return request;
    }
    // The refusal shown last, or "" when none.
    std::wstring refusal() {
        if (prompts_.empty()) return L"";
        const auto& r = prompts_.back();
        EXPECT_EQ(r.caption, text(IDS_PROMPT_CAPTION));
        EXPECT_EQ(r.icon, PromptIcon::Stop);
        return r.text;
    }

    fs::path dir_ = [] {
        auto d = fs::temp_directory_path() / ("tarnix-form-" + std::to_string(std::random_device{}()));
        fs::create_directories(d);
        return d;
    }();
    ConfigStore config_{dir_};
    AccountForm form_{config_};
    testing::PromptRecorder recorder_;
    std::vector<PromptRequest>& prompts_ = recorder_.asked;
};

TEST_F(LoginForm, ShowsTheLastUserWithItsSavedCipherTextAndDialsThePlainPassword) {
    // A saved password longer than a typed one may be: no length check applies to it.
    const std::string plain = "a-twenty-byte-secret";
    const std::string cipher = PasswordCipher::EncryptPassword(plain);
    config_.SaveAccount(kDialEntryName, cipher, "alice");
    config_.SaveAccount(kDialEntryName, "", "bob");
    config_.SetLastAccount(cipher, "alice");

    LoginFields fields;
    std::vector<std::string> names;
    form_.load(fields, names);
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "bob"}));
    EXPECT_EQ(fields.accountName, "alice");
    EXPECT_EQ(fields.passwordText, cipher);
    EXPECT_EQ(fields.remember, 1);

    auto request = accept(fields);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->accountName, "alice");
    EXPECT_EQ(request->password, plain);
    EXPECT_TRUE(prompts_.empty());
    EXPECT_EQ(savedPassword("alice"), cipher) << "kept as it was";
}

TEST_F(LoginForm, WithoutALastUserShowsTheLastSavedAccountAndNoPassword) {
    LoginFields fields{"x", "y", 0};
    std::vector<std::string> names;
    form_.load(fields, names);
    EXPECT_EQ(fields.accountName, "");
    EXPECT_EQ(fields.passwordText, "");

    config_.SaveAccount(kDialEntryName, PasswordCipher::EncryptPassword("p"), "first");
    config_.SaveAccount(kDialEntryName, PasswordCipher::EncryptPassword("q"), "second");
    form_.load(fields, names);
    EXPECT_EQ(fields.accountName, "second");
    EXPECT_EQ(fields.passwordText, "");
}

TEST_F(LoginForm, ATypedPasswordMayHaveSixteenBytesAndAChineseCharacterCountsTwo) {
    const std::string chinese8 = "\xc3\xdc\xc2\xeb\xc3\xdc\xc2\xeb\xc3\xdc\xc2\xeb\xc3\xdc\xc2\xeb";
    for (const std::string& ok : {std::string(16, 'p'), chinese8}) {
        auto request = accept({"carol", ok, 1});
        ASSERT_TRUE(request) << ok;
        EXPECT_EQ(request->password, ok);
        EXPECT_EQ(PasswordCipher::DecryptPassword(savedPassword("carol")), ok);
    }
    EXPECT_TRUE(prompts_.empty());

    const std::string before = fileBytes();
    for (const std::string& tooLong : {std::string(17, 'p'), chinese8 + "1"}) {
        EXPECT_FALSE(accept({"dave", tooLong, 1}));
        EXPECT_EQ(refusal(), text(IDS_PASSWORD_TOO_LONG));
    }
    EXPECT_EQ(fileBytes(), before) << "nothing is saved on a refusal";
}

TEST_F(LoginForm, RefusesAnEmptyAccountOrPasswordAndSavesNothing) {
    const std::string before = fileBytes();
    EXPECT_FALSE(accept({"", "secret", 1}));
    EXPECT_EQ(refusal(), text(IDS_NO_ACCOUNT));
    EXPECT_FALSE(accept({"erin", "", 1}));
    EXPECT_EQ(refusal(), text(IDS_NO_PASSWORD));
    EXPECT_EQ(prompts_.size(), 2u);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(LoginForm, ANewPasswordForAKnownAccountIsEncryptedAndSavedInBothPlaces) {
    config_.SaveAccount(kDialEntryName, PasswordCipher::EncryptPassword("old"), "frank");
    auto request = accept({"frank", "new", 1});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->password, "new");
    const std::string cipher = PasswordCipher::EncryptPassword("new");
    EXPECT_EQ(savedPassword("frank"), cipher);
    EXPECT_EQ(lastUser(), "frank/" + cipher);
}

TEST_F(LoginForm, NotRememberingSavesEmptyPasswordsAndShowsNone) {
    config_.SaveAccount(kDialEntryName, PasswordCipher::EncryptPassword("pw"), "gina");
    config_.SetLastAccount(PasswordCipher::EncryptPassword("pw"), "gina");
    LoginFields fields;
    std::vector<std::string> names;
    form_.load(fields, names);
    EXPECT_EQ(form_.toggleRemember(), 0);
    EXPECT_FALSE(config_.GetSavePassword()) << "stored at once";

    EXPECT_EQ(form_.passwordForChoice("gina"), "");
    auto request = accept({"gina", "typed", 0});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->password, "typed");
    EXPECT_EQ(savedPassword("gina"), "");
    EXPECT_EQ(lastUser(), "gina/");

    form_.load(fields, names);
    EXPECT_EQ(fields.remember, 0);
    EXPECT_EQ(fields.passwordText, "") << "a remembered LastUser is not shown either";
}

TEST_F(LoginForm, ChoosingAnAccountShowsItsSavedPasswordByExactName) {
    config_.SaveAccount(kDialEntryName, "c1", "Henry");
    config_.SaveAccount(kDialEntryName, "c2", "henry");
    LoginFields fields;
    std::vector<std::string> names;
    form_.load(fields, names);
    EXPECT_EQ(form_.passwordForChoice("henry"), "c2");
    EXPECT_EQ(form_.passwordForChoice("HENRY"), "");
}

TEST_F(LoginForm, SavedTextTheCipherCannotHaveMadeIsTreatedAsTyped) {
    // A password written into the file by hand: dialled as it is and saved encrypted.
    config_.SaveAccount(kDialEntryName, "123456", "ivan");
    auto request = accept({"ivan", "123456", 1});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->password, "123456");
    EXPECT_EQ(savedPassword("ivan"), PasswordCipher::EncryptPassword("123456"));

    // Far too long and not hex: a clean refusal, the file untouched.
    const std::string junk(5000, 'z');
    config_.SaveAccount(kDialEntryName, junk, "judy");
    const std::string before = fileBytes();
    EXPECT_FALSE(accept({"judy", junk, 1}));
    EXPECT_EQ(refusal(), text(IDS_PASSWORD_TOO_LONG));
    EXPECT_EQ(fileBytes(), before);

    // Far too long but hex: decrypted (and cut by the cipher), never a crash.
    const std::string hex(9000, 'a');
    config_.SaveAccount(kDialEntryName, hex.substr(0, 8992), "kim");
    EXPECT_TRUE(accept({"kim", hex.substr(0, 8992), 1}));
}

TEST_F(LoginForm, AccountNamesWithMarkupCharactersRoundTrip) {
    const std::string name = "a&b<c>d\"e'f";
    ASSERT_TRUE(accept({name, "pw", 1}));
    EXPECT_NE(fileBytes().find("a&amp;b&lt;c&gt;d&quot;e&apos;f"), std::string::npos);
    LoginFields fields;
    std::vector<std::string> names;
    form_.load(fields, names);
    EXPECT_EQ(fields.accountName, name);
    EXPECT_EQ(names, std::vector<std::string>{name});
    EXPECT_EQ(PasswordCipher::DecryptPassword(fields.passwordText), "pw");
}

}  // namespace
}  // namespace tarnix

namespace tarnix {
namespace {

TEST(DialEntryNames, PppoeIsFoundInAnyLetterCaseAndOnlyInAsciiLetters) {
    EXPECT_TRUE(looksLikePppoeEntry("pppoe_brelvan_default_entry"));
    EXPECT_TRUE(looksLikePppoeEntry("My PPPoE link"));
    EXPECT_FALSE(looksLikePppoeEntry("PPP over Ethernet"));
    EXPECT_FALSE(looksLikePppoeEntry("\xbf\xed\xb4\xf8"));  // 宽带
    EXPECT_FALSE(looksLikePppoeEntry(""));
}

}  // namespace
}  // namespace tarnix
