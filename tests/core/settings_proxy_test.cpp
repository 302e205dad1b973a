// The proxy page: what it shows of the entry's proxy, and what it writes or refuses.
#include <gtest/gtest.h>

#include "TextIds.h"
#include "base/Texts.h"
#include "settings/ProxyForm.h"
#include "../support/PromptRecorder.h"

namespace tarnix {
namespace {

using testing::PromptRecorder;

class FakeProxy : public ConnectionProxy {
  public:
    bool query(std::string_view connection, ConnectionProxySetting& out) override {
        queried = std::string(connection);
        out = current;
        return readable;
    }
    bool set(std::string_view connection, std::string_view server,
             std::string_view bypass) override {
        calls.push_back("set " + std::string(connection) + " " + std::string(server) + " " +
                        std::string(bypass));
        current = {true, std::string(server), std::string(bypass)};
        return true;
    }
    bool clear(std::string_view connection) override {
        calls.push_back("clear " + std::string(connection));
        current.enabled = false;
        return true;
    }

    ConnectionProxySetting current;
    bool readable = true;
    std::string queried;
    std::vector<std::string> calls;
};

const Ipv4Address kAddress = {10, 0, 0, 1};

class ProxyPage : public ::testing::Test {
  protected:
    ProxyFields typed(std::string port) { return {true, kAddress, std::move(port)}; }

    PromptRecorder prompts_;
    FakeProxy proxy_;
    ProxyForm form_{proxy_};
};

TEST_F(ProxyPage, PortsFromZeroTo65535AreWrittenAsTyped) {
    const std::pair<std::string, std::string> accepted[] = {
        {"0", "0"}, {"65535", "65535"}, {"08080", "08080"}, {" 80 ", "80"}, {"\t3128", "3128"}};
    for (const auto& [port, written] : accepted) {
        EXPECT_TRUE(form_.save(typed(port))) << port;
        EXPECT_EQ(proxy_.calls.back(),
                  "set pppoe_brelvan_default_entry 10.0.0.1:" + written + " <local>");
    }
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(ProxyPage, BadAddressesAndPortsAreRefusedAndNothingIsWritten) {
    const std::pair<ProxyFields, unsigned> refused[] = {
        {{true, std::nullopt, "80"}, IDS_PROXY_NO_ADDRESS},
        {{true, std::nullopt, ""}, IDS_PROXY_NO_ADDRESS},
        {typed(""), IDS_PROXY_NO_PORT},
        {typed("   "), IDS_PROXY_NO_PORT},
        {typed("65536"), IDS_PROXY_PORT_RANGE},
        {typed("99999"), IDS_PROXY_PORT_RANGE},
        {typed("123456"), IDS_PROXY_PORT_RANGE},
        {typed("000080"), IDS_PROXY_PORT_RANGE},
        {typed("-1"), IDS_PROXY_PORT_RANGE},
        {typed("abc"), IDS_PROXY_PORT_RANGE},
        {typed("80a"), IDS_PROXY_PORT_RANGE},
        {typed("8 0"), IDS_PROXY_PORT_RANGE},
        {typed("+80"), IDS_PROXY_PORT_RANGE},
        {typed("99999999999999999999"), IDS_PROXY_PORT_RANGE},
    };
    for (const auto& [fields, message] : refused) {
        SCOPED_TRACE(fields.port);
        prompts_.asked.clear();
        EXPECT_FALSE(form_.save(fields));
        ASSERT_EQ(prompts_.asked.size(), 1u);
        EXPECT_EQ(prompts_.asked[0].text, text(message));
        EXPECT_EQ(prompts_.asked[0].caption, text(IDS_PROMPT_CAPTION));
        EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Information);
    }
    EXPECT_TRUE(proxy_.calls.empty());
}

TEST_F(ProxyPage, AClearBoxClearsTheProxyEvenWhenNoneWasSet) {
    EXPECT_TRUE(form_.save({false, std::nullopt, ""}));
    ProxyForm another(proxy_);
    EXPECT_TRUE(another.save({false, kAddress, "abc"}));  // what the disabled fields hold is moot
    EXPECT_EQ(proxy_.calls, (std::vector<std::string>{"clear pppoe_brelvan_default_entry",
                                                      "clear pppoe_brelvan_default_entry"}));

    ProxyFields fields = typed("80");
    fields.useProxy = false;
    ProxyForm::boxClicked(fields);
    EXPECT_FALSE(fields.address);
    EXPECT_EQ(fields.port, "");
    EXPECT_FALSE(fields.fieldsEnabled());
}

TEST_F(ProxyPage, ShowsTheEntrysOwnProxyAsItWasWritten) {
    EXPECT_FALSE(form_.load().useProxy);
    EXPECT_EQ(proxy_.queried, kDialEntryName);
    ASSERT_TRUE(form_.save(typed("08080")));
    ProxyFields shown = form_.load();
    EXPECT_TRUE(shown.useProxy);
    EXPECT_EQ(shown.address, kAddress);
    EXPECT_EQ(shown.port, "08080");

    // Switched off, the server may stay behind: the page shows no proxy.
    form_.save({false, std::nullopt, ""});
    EXPECT_FALSE(form_.load().useProxy);
    EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(ProxyPage, AFailedQueryIsToldAndShowsNoProxy) {
    proxy_.current = {true, "1.2.3.4:80", "local"};
    proxy_.readable = false;
    const ProxyFields shown = form_.load();
    EXPECT_FALSE(shown.useProxy);
    EXPECT_FALSE(shown.address);
    ASSERT_EQ(prompts_.asked.size(), 1u);
    EXPECT_EQ(prompts_.asked[0].text, text(IDS_PROXY_QUERY_FAILED));
    EXPECT_EQ(prompts_.asked[0].icon, PromptIcon::Information);
}

TEST(ProxyText, ReadsAddressAndPortFromEachForm) {
    struct Case {
        std::string text;
        std::optional<Ipv4Address> address;
        std::string port;
    };
    const Case cases[] = {
        {"1.2.3.4:8080", Ipv4Address{1, 2, 3, 4}, "8080"},
        {" 1.2.3.4:08080 ", Ipv4Address{1, 2, 3, 4}, "08080"},
        {"http=10.0.0.1:3128;https=10.0.0.2:443", Ipv4Address{10, 0, 0, 1}, "3128"},
        {"https=10.0.0.2:443;HTTP=10.0.0.1:3128", Ipv4Address{10, 0, 0, 1}, "3128"},
        {"https=10.0.0.2:443;ftp=10.0.0.3:21", Ipv4Address{10, 0, 0, 2}, "443"},
        {"socks=1.1.1.1:1080 10.0.0.9:80", Ipv4Address{10, 0, 0, 9}, "80"},
        {"http=http://10.0.0.1:80/", Ipv4Address{10, 0, 0, 1}, "80"},
        {"proxy.example.com:8080", std::nullopt, "8080"},
        {"1.2.3.256:80", std::nullopt, "80"},
        {"1.2.3:80", std::nullopt, "80"},
        {"1.2.3.4.5:80", std::nullopt, "80"},
        {"1.2.3.4", Ipv4Address{1, 2, 3, 4}, ""},
        {"1.2.3.4:123456", Ipv4Address{1, 2, 3, 4}, ""},
        {"1.2.3.4:-1", Ipv4Address{1, 2, 3, 4}, ""},
        {"[::1]:80", std::nullopt, "80"},
        {";;", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ProxyFields fields = proxyFieldsOf(c.text);
        EXPECT_EQ(fields.useProxy, c.text != ";;");
        EXPECT_EQ(fields.address, c.address);
        EXPECT_EQ(fields.port, c.port);
    }
    EXPECT_FALSE(proxyFieldsOf("").useProxy);
    EXPECT_FALSE(proxyFieldsOf("  ").useProxy);
}

TEST_F(ProxyPage, AnUntouchedPageWritesNothingItCouldNotShow) {
    const ConnectionProxySetting stored[] = {
        {true, "http=1.2.3.4:80;https=5.6.7.8:443", "local"},  // a list per protocol
        {true, "proxy.example:8080", "local"},                 // a host name
        {true, "1.2.3.4:80", "local"},
        {false, "1.2.3.4:80", "local"},
    };
    for (const ConnectionProxySetting& setting : stored) {
        SCOPED_TRACE(setting.server);
        proxy_.current = setting;
        const ProxyFields shown = form_.load();
        EXPECT_TRUE(form_.save(shown));
        EXPECT_TRUE(proxy_.calls.empty());
        EXPECT_EQ(proxy_.current.server, setting.server);
    }
    EXPECT_TRUE(prompts_.asked.empty()) << "not even the empty address of a host name";

    // A proxy that could not be read is not cleared by a page that shows none.
    proxy_.current = {true, "1.2.3.4:80", "local"};
    proxy_.readable = false;
    EXPECT_TRUE(form_.save(form_.load()));
    EXPECT_TRUE(proxy_.calls.empty());

    // Changed, the page writes; saved again unchanged, it does not write twice.
    proxy_.readable = true;
    ProxyFields fields = form_.load();
    fields.port = "81";
    EXPECT_TRUE(form_.save(fields));
    fields.port = " 81";
    EXPECT_TRUE(form_.save(fields));
    fields.useProxy = false;
    EXPECT_TRUE(form_.save(fields));
    EXPECT_EQ(proxy_.calls, (std::vector<std::string>{
                                "set pppoe_brelvan_default_entry 1.2.3.4:81 <local>",
                                "clear pppoe_brelvan_default_entry"}));
}

}  // namespace
}  // namespace tarnix
