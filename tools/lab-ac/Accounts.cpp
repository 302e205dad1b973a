#include "Accounts.h"

#include <fstream>
#include <sstream>

namespace tarnix::labac {

Accounts Accounts::parse(std::istream& in, std::vector<std::string>& warnings) {
    Accounts accounts;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;) words.push_back(word);
        if (words.empty() || words[0][0] == '#') continue;
        std::string where = "line " + std::to_string(number) + ": ";
        if (words.size() != 2) {
            warnings.push_back(where + "skipped, expected \"account password\"");
        } else if (accounts.passwords_.count(words[0])) {
            warnings.push_back(where + "skipped, account " + words[0] + " is already listed");
        } else {
            accounts.add(words[0], words[1]);
        }
    }
    return accounts;
}

bool Accounts::load(const std::filesystem::path& file, Accounts& accounts,
                    std::vector<std::string>& warnings, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot read the accounts file " + file.string();
        return false;
    }
    accounts = parse(in, warnings);
    return true;
}

void Accounts::add(const std::string& account, const std::string& password) {
    passwords_[account] = password;
}

void Accounts::merge(const Accounts& other) {
    for (const auto& [account, password] : other.passwords_) passwords_[account] = password;
}

bool Accounts::accepts(const std::string& account, const std::string& password) const {
    auto found = passwords_.find(account);
    return found != passwords_.end() && found->second == password;
}

}  // namespace tarnix::labac
