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

}  // namespace
}  // namespace tarnix
