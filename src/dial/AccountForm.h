#pragma once
// The account side of the login page: which account and password the page shows, the
// "remember password" setting, and the connect command's checks. Saved passwords are the
// cipher's hex text; the password box holds either that text (filled in by the page) or
// what the user typed.

#include <optional>
#include <string>
#include <vector>

#include "store/ConfigStore.h"

namespace tarnix {

// The page's form fields, GB2312.
struct LoginFields {
    std::string accountName;
    std::string passwordText;
    int remember = 0;  // the check box
};

// What the connect command hands to the dial: the account and the plain password, and
// what to save for the account once the dial goes ahead.
struct DialRequest {
    std::string accountName;
    std::string password;
    // The account's password as config.xml keeps it (cipher text, or empty when passwords
    // are not remembered); none: nothing to save.
    std::optional<std::string> storedPassword = std::nullopt;
};

class AccountForm {
  public:
    // A typed password may be at most this many bytes (a GB2312 character counts 2).
    static constexpr std::size_t kMaxTypedPassword = 16;

    explicit AccountForm(ConfigStore& config);

    // What the page shows when it opens: the remember setting, the saved account names in
    // file order (for the account list) and the last account, with its saved password only
    // when passwords are remembered.
    void load(LoginFields& fields, std::vector<std::string>& accountNames);
    // The password box after `name` is chosen from the account list: its saved password
    // when passwords are remembered, else empty.
    std::string passwordForChoice(const std::string& name);
    // Flips and stores the remember setting; returns the new value.
    int toggleRemember();
    int remember() const { return remember_; }

    // The connect command's checks: an empty field or a typed password over 16 bytes is
    // refused with a message box over `owner`. Otherwise the account and plain password to
    // dial are returned, with the form to save (the encrypted password, or an empty one when
    // passwords are not remembered). Nothing is saved here: a dial refused later, because a
    // link is up, must leave the saved accounts as they were.
    std::optional<DialRequest> prepareDial(const LoginFields& fields, void* owner = nullptr);
    // Saves the account of a dial that goes ahead, and makes it LastUser.
    static void save(ConfigStore& config, const DialRequest& request);

    // True for text the cipher can have made: whole blocks of hex digits.
    static bool isCipherText(const std::string& text);

  private:
    ConfigStore& config_;
    int remember_ = 0;
};

}  // namespace tarnix
