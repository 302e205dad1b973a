// The dial entry's proxy through WinINet's per-connection options: set, read back and
// cleared, with the settings as they were put back afterwards.
#include <windows.h>

#include <wininet.h>

#include <gtest/gtest.h>

#include "settings/ProxyForm.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

bool underWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

class WinInetProxy : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(proxy_.query(kDialEntryName, entryBefore_));
        ASSERT_TRUE(proxy_.query("", lanBefore_));
    }
    void TearDown() override {
        restore("", lanBefore_);
        restore(kDialEntryName, entryBefore_);
    }
    void restore(std::string_view connection, const ConnectionProxySetting& setting) {
        if (setting.enabled)
            proxy_.set(connection, setting.server, setting.bypass);
        else
            proxy_.clear(connection);
    }

    ConnectionProxy& proxy_ = systemConnectionProxy();
    ConnectionProxySetting entryBefore_, lanBefore_;
};

TEST_F(WinInetProxy, IsSetReadBackAndClearedForTheDialEntry) {
    ASSERT_TRUE(proxy_.set(kDialEntryName, "10.1.2.3:08080", "local"));
    ConnectionProxySetting read;
    ASSERT_TRUE(proxy_.query(kDialEntryName, read));
    EXPECT_TRUE(read.enabled);
    EXPECT_EQ(read.server, "10.1.2.3:08080");
    // Wine's per-connection query does not report the bypass list.
    if (!underWine()) EXPECT_EQ(read.bypass, "local");

    ASSERT_TRUE(proxy_.clear(kDialEntryName));
    ASSERT_TRUE(proxy_.query(kDialEntryName, read));
    EXPECT_FALSE(read.enabled);
}

TEST_F(WinInetProxy, ThePageShowsWhatItWrote) {
    testing::PromptRecorder prompts;
    ProxyForm form(proxy_);
    ASSERT_TRUE(form.save({true, Ipv4Address{192, 168, 0, 1}, " 3128 "}));
    ProxyFields shown = form.load();
    EXPECT_TRUE(shown.useProxy);
    EXPECT_EQ(shown.address, (Ipv4Address{192, 168, 0, 1}));
    EXPECT_EQ(shown.port, "3128");

    ASSERT_TRUE(form.save({false, std::nullopt, ""}));
    EXPECT_FALSE(form.load().useProxy);
    EXPECT_TRUE(prompts.asked.empty());
}

// The connection's own flags as WinINet reports them.
DWORD flagsOf(std::wstring connection, DWORD* set = nullptr) {
    INTERNET_PER_CONN_OPTIONW option{};
    option.dwOption = INTERNET_PER_CONN_FLAGS;
    if (set) option.Value.dwValue = *set;
    INTERNET_PER_CONN_OPTION_LISTW list{};
    list.dwSize = sizeof list;
    list.pszConnection = connection.data();
    list.dwOptionCount = 1;
    list.pOptions = &option;
    DWORD size = sizeof list;
    if (set) return InternetSetOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, size);
    InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size);
    return option.Value.dwValue;
}

// Automatic detection, switched on by the user, survives the page setting and clearing
// the proxy.
TEST_F(WinInetProxy, SettingOrClearingKeepsTheConnectionsOtherFlags) {
    const std::wstring entry = L"pppoe_brelvan_default_entry";
    DWORD autoDetect = PROXY_TYPE_DIRECT | PROXY_TYPE_AUTO_DETECT;
    ASSERT_TRUE(flagsOf(entry, &autoDetect));
    if (!(flagsOf(entry) & PROXY_TYPE_AUTO_DETECT))
        GTEST_SKIP() << "this WinINet does not keep the automatic detection flag";
    ASSERT_TRUE(proxy_.set(kDialEntryName, "10.1.2.3:8080", ProxyForm::kBypass));
    EXPECT_EQ(flagsOf(entry), DWORD(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY | PROXY_TYPE_AUTO_DETECT));
    ASSERT_TRUE(proxy_.clear(kDialEntryName));
    EXPECT_EQ(flagsOf(entry), DWORD(PROXY_TYPE_DIRECT | PROXY_TYPE_AUTO_DETECT));
    DWORD direct = PROXY_TYPE_DIRECT;
    flagsOf(entry, &direct);
}

// Windows keeps a proxy for each dial-up connection apart from the LAN's; Wine keeps one
// proxy for all, so setting the entry's sets the LAN's too.
TEST_F(WinInetProxy, TheEntrysProxyAndTheLansAreKeptApartOnWindows) {
    ASSERT_TRUE(proxy_.clear(""));
    ASSERT_TRUE(proxy_.set(kDialEntryName, "10.9.9.9:81", "local"));
    ConnectionProxySetting lan;
    ASSERT_TRUE(proxy_.query("", lan));
    std::printf("after setting the entry's proxy, the LAN's: %s '%s'\n",
                lan.enabled ? "enabled" : "off", lan.server.c_str());
    if (underWine()) {
        EXPECT_TRUE(lan.enabled);
        EXPECT_EQ(lan.server, "10.9.9.9:81");
    } else {
        EXPECT_FALSE(lan.enabled && lan.server == "10.9.9.9:81");
    }
}

}  // namespace
}  // namespace tarnix
