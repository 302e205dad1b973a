#include "dial/AccountForm.h"

#include "TextIds.h"
#include "base/DialEntry.h"
#include "base/Prompt.h"
#include "base/Texts.h"
#include "store/PasswordCipher.h"

namespace tarnix {
namespace {

void refuse(unsigned id, void* owner) {
    promptText(owner, id, PromptIcon::Stop);
}

}  // namespace

AccountForm::AccountForm(ConfigStore& config)
    : config_(config), remember_(config.GetSavePassword() ? 1 : 0) {}

void AccountForm::load(LoginFields& fields, std::vector<std::string>& accountNames) {
    remember_ = config_.GetSavePassword() ? 1 : 0;
    fields.remember = remember_;

    std::vector<std::string> passwords;
    config_.ListAccounts(kDialEntryName, accountNames, passwords);

    std::vector<std::string> lastNames, lastPasswords;
    config_.GetLastAccount(lastNames, lastPasswords);
    if (!lastNames.empty()) {
        fields.accountName = lastNames.back();
        fields.passwordText = remember_ ? lastPasswords.back() : std::string();
    } else {
        fields.accountName = accountNames.empty() ? std::string() : accountNames.back();
        fields.passwordText.clear();
    }
}

std::string AccountForm::passwordForChoice(const std::string& name) {
    if (!remember_) return {};
    std::vector<std::string> names, passwords;
    config_.ListAccounts(kDialEntryName, names, passwords);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return passwords[i];
    }
    return {};
}

int AccountForm::toggleRemember() {
    remember_ = remember_ ? 0 : 1;
    config_.SetSavePassword(remember_ != 0);
    return remember_;
}

bool AccountForm::isCipherText(const std::string& text) {
    if (text.empty() || text.size() % 16 != 0) return false;
    for (char c : text) {
        bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return false;
    }
    return true;
}

std::optional<DialRequest> AccountForm::prepareDial(const LoginFields& fields, void* owner) {
    if (fields.accountName.empty()) {
        refuse(IDS_NO_ACCOUNT, owner);
        return std::nullopt;
    }
    if (fields.passwordText.empty()) {
        refuse(IDS_NO_PASSWORD, owner);
        return std::nullopt;
    }

    // The box holds a saved password (cipher text the page filled in) when it equals what
    // is saved for this account. Saved text the cipher cannot have made (say, a password
    // typed into the file by hand) is taken as typed, so it is checked and saved encrypted.
    DialRequest request{fields.accountName, fields.passwordText};
    bool typed = true;
    std::vector<std::string> names, passwords;
    config_.ListAccounts(kDialEntryName, names, passwords);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == fields.accountName && passwords[i] == fields.passwordText &&
            isCipherText(passwords[i])) {
            request.password = PasswordCipher::DecryptPassword(passwords[i]);
            typed = false;
            break;
        }
    }
    if (typed && fields.passwordText.size() > kMaxTypedPassword) {
        refuse(IDS_PASSWORD_TOO_LONG, owner);
        return std::nullopt;
    }

    request.storedPassword.emplace();
    if (remember_) {
        *request.storedPassword =
            typed ? PasswordCipher::EncryptPassword(fields.passwordText) : fields.passwordText;
    }
    return request;
}

void AccountForm::save(ConfigStore& config, const DialRequest& request) {
    if (!request.storedPassword) return;
    config.SaveAccount(kDialEntryName, *request.storedPassword, request.accountName);
    config.SetLastAccount(*request.storedPassword, request.accountName);
}

}  // namespace tarnix
