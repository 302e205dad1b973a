#pragma once
// A record folder in a temporary directory for the record page tests, with builders for
// record files as the client writes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tarnix::testing {

inline const std::string kRecordDecl = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n";
inline const std::string kNormalCause = "\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa";  // 正常断开
inline const std::string kAll = "\xcb\xf9\xd3\xd0";                          // 所有

// One ITEM line as the client writes it (values already escaped).
inline std::string recordItem(const std::string& user, const std::string& start,
                              const std::string& end, const std::string& ip = "10.0.0.2",
                              const std::string& sent = "100", const std::string& received = "200",
                              const std::string& cause = kNormalCause) {
    return "<ITEM user=\"" + user + "\" start_time=\"" + start + "\" end_time=\"" + end +
           "\" ip=\"" + ip + "\" error_code=\"" + cause + "\" send=\"" + sent + "\" recv=\"" +
           received + "\"/>\r\n";
}

inline std::string recordText(const std::string& items) {
    return kRecordDecl + "<record>\r\n" + items + "</record>\r\n";
}

class RecordFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(dir_); }
    void TearDown() override {
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(dir_, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }

    std::string read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                                 ("tarnix-query-" + std::to_string(std::random_device{}()));
};

}  // namespace tarnix::testing
