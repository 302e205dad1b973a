#pragma once
// What the update tests share: a program folder and a temporary folder of their own, an
// UpdateConfig.ini written as the test says, a Provider.ini that trusts the tests' signing
// key, and a loopback server.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "../support/update_HttpServer.h"
#include "../support/update_Signer.h"
#include "base/Profile.h"

namespace tarnix::testing {

class UpdateFolders {
  public:
    UpdateFolders() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("tarnix-update-" + std::to_string(random()) + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(program());
        std::filesystem::create_directories(temp());
        writeFile(program() / "Provider.ini", providerKeyLines());
    }
    ~UpdateFolders() {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    std::filesystem::path program() const { return root_ / "program"; }
    std::filesystem::path temp() const { return root_ / "temp"; }
    std::filesystem::path list() const { return temp() / "UpdateList.ini"; }

    void writeConfig(const std::string& text) const { writeFile(program() / "UpdateConfig.ini", text); }
    void writeSource(const std::string& version, const std::string& url) const {
        writeConfig("[Version]\r\nVersion=" + version + "\r\n[URL]\r\nURL=" + url + "\r\n");
    }
    static void writeFile(const std::filesystem::path& file, const std::string& text) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }

  private:
    std::filesystem::path root_;
};

inline std::string listText(const std::string& version, const std::string& package = "") {
    return "[Version]\r\nVersion=" + version + "\r\n" + package;
}

// Short, so the tests of servers that never answer stay quick.
inline constexpr std::uint32_t kTestTimeoutMs = 1500;

}  // namespace tarnix::testing
