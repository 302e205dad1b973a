// Whole-file reading and crash-safe writing.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "store/SafeFile.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-safefile-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    size_t entries() {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
};

TEST_F(SafeFile, WritesReplacesAndReadsBack) {
    const fs::path file = dir_ / "config.xml";
    std::string error;
    const std::string first("a\0b\r\n\xd6\xd0", 7);
    ASSERT_TRUE(writeWholeFile(file, first, error)) << error;
    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes, error)) << error;
    EXPECT_EQ(bytes, first);

    const std::string second(300000, 'z');
    ASSERT_TRUE(writeWholeFile(file, second, error)) << error;
    ASSERT_TRUE(readWholeFile(file, bytes, error));
    EXPECT_EQ(bytes, second);
    size_t room = 0;  // with spare bytes around the file's
    ASSERT_TRUE(readWholeFile(file, bytes, error, &room));
    EXPECT_GT(room, 0u);
    EXPECT_EQ(bytes.size(), second.size() + 2 * room);
    EXPECT_EQ(bytes.substr(room, second.size()), second);
    ASSERT_TRUE(writeWholeFile(file, "", error));
    ASSERT_TRUE(readWholeFile(file, bytes, error));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

TEST_F(SafeFile, FailuresReportTheSystemMessageAndKeepTheOldFile) {
    std::string bytes = "unchanged", error;
    EXPECT_FALSE(readWholeFile(dir_ / "missing", bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(bytes, "unchanged");

    error.clear();
    EXPECT_FALSE(writeWholeFile(dir_ / "no" / "folder.xml", "x", error));
    EXPECT_FALSE(error.empty());

    // The target is a folder: the rename fails, the folder and its contents stay.
    fs::create_directories(dir_ / "taken" / "inner");
    error.clear();
    EXPECT_FALSE(writeWholeFile(dir_ / "taken", "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_directory(dir_ / "taken" / "inner"));
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace tarnix
