// Saving over a file that another program holds open for a moment, as virus scanners and
// editors do: the save waits for it instead of losing the change.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <thread>

#include "store/SafeFile.h"

namespace tarnix {
namespace {

TEST(SafeFileSharing, ASaveWaitsForAReaderThatHoldsTheFileBriefly) {
    auto file = std::filesystem::temp_directory_path() /
                ("tarnix-share-" + std::to_string(GetCurrentProcessId()) + ".xml");
    std::string error;
    ASSERT_TRUE(writeWholeFile(file, "old", error)) << error;

    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(150);
        CloseHandle(held);
    });
    EXPECT_TRUE(writeWholeFile(file, "new", error)) << error;
    release.join();

    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes, error, nullptr)) << error;
    EXPECT_EQ(bytes, "new");

    std::filesystem::remove(file);
}

// Another writer of the same target (another process saving it) holds the one temporary
// file: the save waits its turn rather than writing into the other's file.
TEST(SafeFileSharing, ASaveWaitsForAnotherWriterOfTheSameFile) {
    auto file = std::filesystem::temp_directory_path() /
                ("tarnix-turn-" + std::to_string(GetCurrentProcessId()) + ".xml");
    HANDLE other = CreateFileW(temporaryFileFor(file).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::string error;
    std::thread finish([other] {
        Sleep(150);
        // The other writer fails and removes its file, as a failed save does.
        FILE_DISPOSITION_INFO remove{TRUE};
        SetFileInformationByHandle(other, FileDispositionInfo, &remove, sizeof remove);
        CloseHandle(other);
    });
    EXPECT_TRUE(writeWholeFile(file, "mine", error)) << error;
    finish.join();

    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes, error, nullptr)) << error;
    EXPECT_EQ(bytes, "mine");
    EXPECT_FALSE(std::filesystem::exists(temporaryFileFor(file)));
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace tarnix
