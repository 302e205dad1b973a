// config.xml held open by another program (a backup tool, an editor, a virus scanner)
// while the client starts: the store waits a little for it, and when it stays held the
// subscriber's accounts in it are never replaced by the defaults.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "../support/PromptRecorder.h"
#include "../support/WinProcess.h"
#include "store/ConfigStore.h"

namespace tarnix {
namespace {

const std::string kEntry(kDialEntryName);
const std::string kSaved =
    "<?xml version=\"1.0\" "
    "encoding=\"GB2312\"?>\r\n<CONFIG>\r\n<MsgPop>0</MsgPop>\r\n<Reconnect>1</Reconnect>\r\n<" +
    kEntry + ">\r\n<User NAME=\"subscriber\" PASSWORD=\"0a1b\"/>\r\n</" + kEntry +
    ">\r\n</CONFIG>\r\n";

std::string read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Opens the file shared with no one, as some programs do.
HANDLE holdExclusively(const std::filesystem::path& file) {
    return CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

TEST(ConfigHeld, AFileHeldThroughStartUpIsNeverWrittenThatRun) {
    testing::TempFolder folder(L"config-held");
    const auto file = folder.path() / "config.xml";
    std::ofstream(file, std::ios::binary) << kSaved;
    testing::PromptRecorder prompts;

    HANDLE held = holdExclusively(file);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ConfigStore store(folder.path());
    CloseHandle(held);

    EXPECT_TRUE(store.IsReadOnlyThisRun());
    // The first changes after the other program let go must not write the defaults.
    store.SetStartUp(true);
    store.SaveAccount(kEntry, "", "typed");
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(read(file), kSaved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);

    store.ShowStartNotice(nullptr);
    store.ShowStartNotice(nullptr);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].caption, L"提示");

    // The next start reads the file as it was.
    ConfigStore next(folder.path());
    EXPECT_FALSE(next.IsReadOnlyThisRun());
    std::vector<std::string> names, passwords;
    next.ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"subscriber"});
}

TEST(ConfigHeld, AFileHeldForAMomentIsReadWhenItIsFree) {
    testing::TempFolder folder(L"config-moment");
    const auto file = folder.path() / "config.xml";
    std::ofstream(file, std::ios::binary) << kSaved;
    testing::PromptRecorder prompts;

    HANDLE held = holdExclusively(file);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(150);
        CloseHandle(held);
    });
    ConfigStore store(folder.path());
    release.join();

    EXPECT_FALSE(store.IsReadOnlyThisRun());
    EXPECT_TRUE(store.IsReconnectCached());
    EXPECT_FALSE(store.IsMessagePopupCached());
    store.SetStartUp(true);
    std::vector<std::string> names, passwords;
    ConfigStore(folder.path()).ListAccounts(kEntry, names, passwords);
    EXPECT_EQ(names, std::vector<std::string>{"subscriber"});
    EXPECT_NE(read(file).find("<StartUp>1</StartUp>"), std::string::npos);
    store.ShowStartNotice(nullptr);
    EXPECT_TRUE(prompts.asked.empty());
}

}  // namespace
}  // namespace tarnix
