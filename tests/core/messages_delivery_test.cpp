// Delivery of the provider's list: when it is fetched (link-up, the period, never while
// the link is down), what reaches the store, and the real HTTP fetch against a loopback
// server.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>

#include "../support/update_HttpServer.h"
#include "../support/update_Signer.h"
#include "messages/MessageDelivery.h"
#include "messages/MessageList.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kList =
    "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<MessageRecord>\r\n"
    "<ITEM MType=\"t\" MTitle=\"a\" MDate=\"2026-12-01\" MTime=\"08:00:00\" MUrl=\"\" "
    "MContent=\"c\"/>\r\n</MessageRecord>\r\n";

// Counts fetches and deliveries; answers with whatever `answer` holds.
struct Recorder {
    std::mutex mutex;
    std::optional<std::string> answer = kList;
    std::atomic<int> fetches{0}, deliveries{0};
    std::chrono::milliseconds fetchTime{0};
    MessageDelivery::Fetch fetch() {
        return [this](const std::string& address) {
            EXPECT_EQ(address, "http://lab/messages.xml");
            ++fetches;
            std::this_thread::sleep_for(fetchTime);
            std::lock_guard<std::mutex> lock(mutex);
            return answer;
        };
    }
    MessageDelivery::Deliver deliver() {
        return [this](std::vector<Message> list) {
            EXPECT_EQ(list.size(), 1u);
            ++deliveries;
        };
    }
};

template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = 3000ms) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(MessageDelivery, FetchesAtLinkUpThenEachPeriodAndNeverWhileTheLinkIsDown) {
    Recorder r;
    MessageDelivery delivery("http://lab/messages.xml", r.fetch(), r.deliver());
    delivery.periodDue();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(r.fetches, 0) << "nothing before the link is up";

    EXPECT_TRUE(delivery.linkUp());
    ASSERT_TRUE(eventually([&] { return r.deliveries == 1; }));
    for (int turn = 2; turn <= 3; ++turn) {
        // Between turns no thread waits: the next fetch comes with the owner's timer.
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(r.fetches, turn - 1);
        // A turn is refused while the last fetch's worker is still ending: the timer's next
        // turn comes, as here the next call.
        ASSERT_TRUE(eventually([&] {
            if (r.fetches < turn) delivery.periodDue();
            return r.deliveries == turn;
        })) << "again every period";
    }

    // A turn that comes while a fetch is under way starts no second one.
    r.fetchTime = 500ms;
    ASSERT_TRUE(eventually([&] {
        if (r.fetches < 4) delivery.periodDue();
        return r.fetches == 4;
    }));
    delivery.periodDue();
    ASSERT_TRUE(eventually([&] { return r.deliveries == 4; }));
    EXPECT_EQ(r.fetches, 4);
    r.fetchTime = 0ms;

    delivery.linkDown();
    delivery.periodDue();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(r.fetches, 4) << "no fetch while the link is down";

    EXPECT_TRUE(delivery.linkUp());
    ASSERT_TRUE(eventually([&] { return r.fetches == 5; })) << "each link-up fetches";
}

TEST(MessageDelivery, AFailedOrDamagedFetchDeliversNothingAndIsTriedAgainNextTurn) {
    Recorder r;
    r.answer = std::nullopt;
    MessageDelivery delivery("http://lab/messages.xml", r.fetch(), r.deliver());
    delivery.linkUp();
    ASSERT_TRUE(eventually([&] { return r.fetches == 1; }));
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.answer = "<html>Service Unavailable</html>";
    }
    ASSERT_TRUE(eventually([&] {
        if (r.fetches < 2) delivery.periodDue();  // refused until the first worker ends
        return r.fetches == 2;
    }));
    EXPECT_EQ(r.deliveries, 0);
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.answer = kList;
    }
    ASSERT_TRUE(eventually([&] {
        delivery.periodDue();  // refused while the failed fetch's worker is still ending
        return r.deliveries >= 1;  // a turn may start and deliver again before the look
    }));
}

TEST(MessageDelivery, WithoutAnAddressNothingIsFetchedAndStoppingNeverWaitsForTheNetwork) {
    Recorder idle;
    {
        MessageDelivery none("", idle.fetch(), idle.deliver());
        EXPECT_FALSE(none.linkUp()) << "no address: the owner times no period";
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(idle.fetches, 0);

    auto r = std::make_shared<Recorder>();
    r->fetchTime = 2500ms;  // a server that stalls
    auto delivery = std::make_unique<MessageDelivery>("http://lab/messages.xml", r->fetch(),
                                                      [r](std::vector<Message>) { ++r->deliveries; });
    delivery->linkUp();
    ASSERT_TRUE(eventually([&] { return r->fetches == 1; }));
    const auto start = std::chrono::steady_clock::now();
    delivery.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    std::this_thread::sleep_for(1800ms);  // the stalled fetch ends on its own
    EXPECT_EQ(r->deliveries, 0) << "a list that arrives after the stop is dropped";
}

TEST(MessageDelivery, ReadsTheAddressAndFetchesOverHttp) {
    const fs::path dir =
        fs::temp_directory_path() / ("tarnix-delivery-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    EXPECT_EQ(readMessagesAddress(dir, systemProfile()), "");
    std::ofstream(dir / "Provider.ini", std::ios::binary)
        << "[MessageServer]\r\nAddress=127.0.0.1\r\n[Messages]\r\nURL=http://127.0.0.1:8/m.xml\r\n";
    EXPECT_EQ(readMessagesAddress(dir, systemProfile()), "http://127.0.0.1:8/m.xml");
    fs::remove_all(dir);

    testing::UpdateHttpServer server;
    const std::string key = testing::publicKeyDer(testing::kSigningKey);
    testing::serveSigned(server, "/m.xml", kList);
    testing::UpdateHttpServer::Answer missing;
    missing.status = 404;
    missing.body = "gone";
    server.answer("/gone.xml", missing);
    testing::UpdateHttpServer::Answer huge;
    huge.filler = 8u << 20;
    server.answer("/huge.xml", huge);

    EXPECT_EQ(fetchMessageList(server.url("/m.xml"), 1u << 20, key), kList);
    EXPECT_FALSE(fetchMessageList(server.url("/gone.xml"), 1u << 20, key));
    EXPECT_FALSE(fetchMessageList(server.url("/huge.xml"), 1u << 20, key)) << "more than any list";
    EXPECT_FALSE(fetchMessageList("file:///etc/passwd", 1u << 20, key));
    EXPECT_FALSE(fetchMessageList("", 1u << 20, key));
}

// A list with links and texts anyone on the path could write is stored only when the
// provider signed it.
TEST(MessageDelivery, OnlyAListSignedByTheProviderIsTaken) {
    testing::UpdateHttpServer server;
    const std::string key = testing::publicKeyDer(testing::kSigningKey);
    const std::string good = testing::signWith(testing::kSigningKey, kList);
    server.answer("/m.xml", {200, kList});
    EXPECT_FALSE(fetchMessageList(server.url("/m.xml"), 1u << 20, key)) << "no .sig";
    for (const std::string& signature :
         {testing::signWith(testing::kOtherKey, kList), good.substr(0, 20), std::string(),
          std::string(64, '\x01'), testing::signWith(testing::kSigningKey, kList + " ")}) {
        server.answer("/m.xml.sig", {200, signature});
        EXPECT_FALSE(fetchMessageList(server.url("/m.xml"), 1u << 20, key));
    }
    server.answer("/m.xml.sig", {200, good});
    EXPECT_FALSE(fetchMessageList(server.url("/m.xml"), 1u << 20, "")) << "no key";
    EXPECT_EQ(fetchMessageList(server.url("/m.xml"), 1u << 20, key), kList);
}

}  // namespace
}  // namespace tarnix
