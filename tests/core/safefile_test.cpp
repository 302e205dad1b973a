// Whole-file reading and crash-safe writing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

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

TEST_F(SafeFile, ALeftoverTemporaryFileIsTakenOver) {
    // What a writer killed in the middle of a save leaves behind.
    const fs::path file = dir_ / "config.xml";
    std::ofstream(temporaryFileFor(file), std::ios::binary) << std::string(100000, 'x');
    std::string error, bytes;
    ASSERT_TRUE(writeWholeFile(file, "new", error)) << error;
    ASSERT_TRUE(readWholeFile(file, bytes, error));
    EXPECT_EQ(bytes, "new");
    EXPECT_EQ(entries(), 1u);
}

// Writers of one target share its temporary file: they must take turns, or one would
// rename the other's half-written bytes over the target.
TEST_F(SafeFile, ConcurrentWritersOfOneTargetNeverMixTheirBytes) {
    const fs::path file = dir_ / "shared.xml";
    auto payload = [](int writer, int round) {
        const std::string head = std::to_string(writer) + " " + std::to_string(round) + "\n";
        return head + std::string(20000 + 997 * round, static_cast<char>('a' + writer));
    };
    auto whole = [&](const std::string& bytes) {
        int writer = -1, round = -1;
        return std::sscanf(bytes.c_str(), "%d %d", &writer, &round) == 2 && writer >= 0 &&
               writer < 26 && round >= 0 && round < 1000 && bytes == payload(writer, round);
    };
    std::string error;
    ASSERT_TRUE(writeWholeFile(file, payload(0, 0), error)) << error;

    constexpr int kWriters = 4, kRounds = 25;
    std::atomic<int> mixedReads{0}, writersLeft{kWriters};
    int failedWrites = 0;
    std::string firstFailure;
    std::mutex failureMutex;
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&, w] {
            for (int round = 0; round < kRounds; ++round) {
                std::string message;
                if (!writeWholeFile(file, payload(w, round), message)) {
                    std::lock_guard<std::mutex> lock(failureMutex);
                    if (!failedWrites++) firstFailure = message;
                }
            }
            --writersLeft;
        });
    threads.emplace_back([&] {
        while (writersLeft > 0) {
            std::string bytes, message;
            // A read may fail for a moment on Windows while the file is being replaced.
            if (readWholeFile(file, bytes, message) && !whole(bytes)) ++mixedReads;
            // A reader that never lets go would hold off the renames on Windows.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (auto& t : threads) t.join();
    EXPECT_EQ(failedWrites, 0) << firstFailure;
    EXPECT_EQ(mixedReads, 0);
    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes, error));
    EXPECT_TRUE(whole(bytes));
    EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

}  // namespace
}  // namespace tarnix
