// Only web and mail addresses reach the shell: an address that names a file or a program,
// or carries spaces, control or non-ASCII bytes, is refused before any handler sees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/FileDialogs.h"
#include "base/Prompt.h"
#include "base/ShellOpen.h"

namespace tarnix {
namespace {

TEST(ShellOpen, HandsOnlyWebAndMailAddressesToTheShell) {
    std::vector<std::string> opened;
    setShellOpenHandler([&](const std::string& address) {
        opened.push_back(address);
        return true;
    });
    for (const char* refused :
         {"", "http://", "mailto:", "C:\\Windows\\notepad.exe", "file:///C:/x", "notepad",
          "http://a b/", "http://a\n/", "http://\xb0\xa1/", " http://a/"}) {
        EXPECT_FALSE(shellOpen(refused)) << refused;
    }
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(shellOpen("HTTPS://www.chengyuan-kd.example/x?y=1"));
    EXPECT_TRUE(shellOpen("mailto:kf@chengyuan-kd.example"));
    EXPECT_EQ(opened.size(), 2u);
    setShellOpenHandler({});
}

// The program's entry point installs the system's bindings; a program or test that installs
// none gets a desktop where nothing opens and nothing is chosen.
TEST(DesktopRequests, WithoutABindingNothingOpensOrIsChosenAndMessagesCountAsSeen) {
    EXPECT_FALSE(shellOpen("http://www.chengyuan-kd.example/"));
    EXPECT_FALSE(shellOpenChosenFile("export.txt"));
    EXPECT_FALSE(askForPath({nullptr, PathDialog::SaveFile, L"t", L"", L"txt", "export.txt"}));
    EXPECT_EQ(prompt({nullptr, L"text", L"caption"}), kAnswerOk);
    EXPECT_EQ(prompt({nullptr, L"text", L"caption", PromptIcon::Question, PromptButtons::YesNo}),
              kAnswerYes);
}

}  // namespace
}  // namespace tarnix
