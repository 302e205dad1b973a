#pragma once
// The subscriber accounts lab-ac accepts: one "account password" pair a line.

#include <filesystem>
#include <istream>
#include <map>
#include <string>
#include <vector>

namespace tarnix::labac {

class Accounts {
  public:
    // Blank lines and lines starting with '#' are ignored. A line that is not exactly two
    // whitespace-separated fields, or repeats an account, is skipped with a warning
    // naming its line number.
    static Accounts parse(std::istream& in, std::vector<std::string>& warnings);
    // False (with `error` set) when the file cannot be read.
    static bool load(const std::filesystem::path& file, Accounts& accounts,
                     std::vector<std::string>& warnings, std::string& error);

    void add(const std::string& account, const std::string& password);
    // Adds every account of `other`; its passwords win.
    void merge(const Accounts& other);
    bool accepts(const std::string& account, const std::string& password) const;
    std::size_t size() const { return passwords_.size(); }

  private:
    std::map<std::string, std::string> passwords_;
};

}  // namespace tarnix::labac
