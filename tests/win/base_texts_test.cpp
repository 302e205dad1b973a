// The string table that windres compiles and the generated table read the same texts.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/TableTexts.h"
#include "base/win/ResourceTexts.h"

namespace tarnix {
namespace {

TEST(Texts, TheResourcesAndTheGeneratedTableAgreeOnEveryText) {
    const ResourceTexts resources(GetModuleHandleW(nullptr));
    ASSERT_GT(kTextTableSize, 40u);
    for (std::size_t i = 0; i < kTextTableSize; ++i) {
        const TextEntry& entry = kTextTable[i];
        EXPECT_EQ(resources.find(entry.id), std::wstring_view(entry.text)) << "id " << entry.id;
    }
    EXPECT_EQ(resources.find(1), L"");
}

}  // namespace
}  // namespace tarnix
