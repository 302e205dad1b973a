// Start with Windows in the registry: the current user's Run value written, read and
// removed, and an older installation's value under the machine's key taken away.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "settings/RunOptionsForm.h"
#include "../support/WinProcess.h"

namespace tarnix {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kName[] = L"Tarnix";

struct RegistryValue {
    DWORD type = 0;
    std::wstring data;  // as stored, with any terminating zero
};

std::optional<RegistryValue> readValue(HKEY root, REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExW(root, kRunKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryValue value;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, kName, nullptr, &value.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value.data.resize(size / sizeof(wchar_t));
        rc = RegQueryValueExW(key, kName, nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.data.data()), &size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool writeValue(HKEY root, const std::wstring& data, REGSAM view = 0) {
    HKEY key;
    if (RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc =
        RegSetValueExW(key, kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void deleteValue(HKEY root, REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExW(root, kRunKey, 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, kName);
        RegCloseKey(key);
    }
}

// A program path with blanks and Chinese in it: 宽带 客户端.
const std::filesystem::path kProgram =
    L"C:\\Program Files\\\u5bbd\u5e26 \u5ba2\u6237\u7aef\\Tarnix.exe";

class RunKey : public ::testing::Test {
  protected:
    // The user's own value, if the machine has one, is put back afterwards.
    void SetUp() override {
        saved_ = readValue(HKEY_CURRENT_USER);
        deleteValue(HKEY_CURRENT_USER);
    }
    void TearDown() override {
        deleteValue(HKEY_CURRENT_USER);
        if (saved_) writeValue(HKEY_CURRENT_USER, saved_->data.c_str());
    }

    StartupRegistration& startup_ = systemStartupRegistration();
    std::optional<RegistryValue> saved_;
};

TEST_F(RunKey, IsWrittenReadAndRemovedUnderTheCurrentUser) {
    EXPECT_EQ(startup_.query(kProgram), RunValue::Absent);
    ASSERT_TRUE(startup_.add(kProgram));
    const auto written = readValue(HKEY_CURRENT_USER);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(written->data, L"\"" + kProgram.wstring() + L"\"" + L'\0') << "quoted: it has blanks";
    EXPECT_EQ(startup_.query(kProgram), RunValue::Ours);
    EXPECT_EQ(startup_.query(L"c:\\program files\\\u5bbd\u5e26 \u5ba2\u6237\u7aef\\TARNIX.EXE"),
              RunValue::Ours);

    // Another program's data under the name, quoted or not, is not ours: a program that is
    // there, with or without options, or a file that is gone. Adding replaces it.
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, L"C:\\Other\\other.exe"));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Stale);
    const std::wstring self = currentProgramPath().wstring();
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, self));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Other);
    EXPECT_EQ(startup_.data(), currentProgramPath());
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, L"\"" + self + L"\" /min"));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Other);
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, self + L" /min"));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Other);
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, L"\"" + kProgram.wstring() + L"\""));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Ours);
    ASSERT_TRUE(writeValue(HKEY_CURRENT_USER, L"C:\\Other\\other.exe"));
    ASSERT_TRUE(startup_.add(kProgram));
    EXPECT_EQ(readValue(HKEY_CURRENT_USER)->data, L"\"" + kProgram.wstring() + L"\"" + L'\0');

    startup_.remove();
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER));
    EXPECT_EQ(startup_.query(kProgram), RunValue::Absent);
    startup_.remove();  // nothing to remove
}

TEST_F(RunKey, AnOlderInstallationsMachineValueIsTakenAway) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        if (!writeValue(HKEY_LOCAL_MACHINE, L"C:\\Old\\Tarnix.exe", view)) {
            GTEST_SKIP() << "the machine's Run key cannot be written here";
        }
    }
    ASSERT_TRUE(startup_.add(kProgram));
    EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY));
    EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY));

    ASSERT_TRUE(writeValue(HKEY_LOCAL_MACHINE, L"C:\\Old\\Tarnix.exe", KEY_WOW64_32KEY));
    startup_.remove();
    EXPECT_FALSE(readValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY));
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER));
}

TEST_F(RunKey, TheRunOptionsPageTicksAndUnticksIt) {
    testing::TempFolder folder(L"runvalue");
    ConfigStore config(folder.path());
    RunOptionsForm form(config, startup_, currentProgramPath());
    RunOptionsFields fields = form.load();
    ASSERT_FALSE(fields.startUp);

    fields.startUp = true;
    form.save(fields);
    EXPECT_TRUE(config.GetStartUp());
    const auto written = readValue(HKEY_CURRENT_USER);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->data, L"\"" + currentProgramPath().wstring() + L"\"" + L'\0');
    EXPECT_TRUE(currentProgramPath().wstring().ends_with(L"win_tests.exe"));

    fields.startUp = false;
    form.save(fields);
    EXPECT_FALSE(config.GetStartUp());
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER));
}

}  // namespace
}  // namespace tarnix
