// The UDP channel to the message server, against a listener and a sender on loopback.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "TextIds.h"
#include "base/Texts.h"
#include "../fuzz/datagram_fuzz_case.h"
#include "base/Socket.h"
#include "messageserver/MessageChannel.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The channel's diagnostic lines, written by its receiving thread.
class Lines {
  public:
    MessageChannel::Output sink() {
        return [this](std::string_view line) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                lines_.emplace_back(line);
            }
            changed_.notify_all();
        };
    }
    // All lines once `line` has come, or everything so far after two seconds.
    std::vector<std::string> until(const std::string& line) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(2), [&] {
            return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
        });
        return lines_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

// A 44-byte status datagram written out by hand.
Bytes statusBytes(unsigned char type, const std::string& name) {
    Bytes bytes(44, 0);
    bytes[0] = type;
    std::copy(name.begin(), name.end(), bytes.begin() + 4);
    return bytes;
}

class MessageChannelLoopback : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.valid());
        ASSERT_TRUE(peer_.valid());
    }
    std::unique_ptr<MessageChannel> channel(const std::string& address = "127.0.0.1") {
        return std::make_unique<MessageChannel>(MessageServer{address, server_.localPort()},
                                                lines_.sink());
    }
    // The next datagram at the server, or nothing within the time.
    Bytes received(std::uint32_t timeoutMs = 2000) {
        Bytes buffer(2048);
        long got = server_.receiveFrom(buffer.data(), buffer.size(), timeoutMs);
        buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return buffer;
    }
    bool sendToChannel(const MessageChannel& to, const Bytes& bytes) {
        return peer_.sendTo(bytes.data(), bytes.size(), "127.0.0.1", to.localPort());
    }

    Socket server_ = Socket::bindUdp("127.0.0.1", 0);
    Socket peer_ = Socket::bindUdp("127.0.0.1", 0);
    Lines lines_;
};

const Bytes kTrash{103, 0, 0, 0};
const std::string kTrashLine = "Recv p2ptrash data\n";

TEST_F(MessageChannelLoopback, StatusDatagramsByteForByte) {
    auto c = channel();
    c->open();
    const std::string twenty = "abcdefghij0123456789";
    // "a" and GB2312 "中文" six times: the cut falls inside a character, as it may.
    const std::string longer =
        "a\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4"
        "\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4";

    c->sendOnline(twenty);
    EXPECT_EQ(received(), statusBytes(1, twenty));
    c->sendOnline(longer);
    EXPECT_EQ(received(), statusBytes(1, longer.substr(0, 20)));
    c->sendOffline("");
    EXPECT_EQ(received(), statusBytes(2, ""));
    // The order in which the dial worker sends them.
    c->sendOffline("demo");
    c->sendOnline("demo");
    EXPECT_EQ(received(), statusBytes(2, "demo"));
    EXPECT_EQ(received(), statusBytes(1, "demo"));
}

TEST_F(MessageChannelLoopback, KeepAliveComesAtOnceAndCloseDoesNotWaitOutItsSleep) {
    auto c = channel();
    c->open();
    c->startKeepAlive();
    c->startKeepAlive();  // a second start adds no second thread
    EXPECT_EQ(received(), statusBytes(10, "A"));
    EXPECT_TRUE(received(300).empty());

    const auto start = Clock::now();
    c->close();
    EXPECT_LT(secondsSince(start), 3.0);
}

TEST_F(MessageChannelLoopback, NothingIsSentWhenClosedOrWithoutServerAddress) {
    auto unopened = channel();
    unopened->sendOnline("demo");
    unopened->startKeepAlive();
    // An empty address would otherwise mean "this host" to some systems.
    auto nowhere = channel("");
    nowhere->open();
    nowhere->startKeepAlive();
    nowhere->sendOffline("demo");
    auto closed = channel();
    closed->open();
    closed->close();
    closed->sendOnline("demo");
    EXPECT_TRUE(received(300).empty());
    EXPECT_EQ(closed->localPort(), 0);
}

// The client's channel waits for its first notice: before it no socket and no thread; two
// first notices at once open it once (one keep-alive); after close, or without a server,
// nothing opens it.
TEST_F(MessageChannelLoopback, OpensWithTheFirstNoticeAndNeverAfterClose) {
    auto c = channel();
    c->openOnFirstNotice();
    EXPECT_EQ(c->localPort(), 0);
    std::thread first([&] { c->sendOffline("demo"); });
    c->sendOnline("demo");
    first.join();
    std::multiset<unsigned char> types;
    for (Bytes got = received(); !got.empty(); got = received(300)) types.insert(got[0]);
    EXPECT_EQ(types, (std::multiset<unsigned char>{1, 2, 10}));
    EXPECT_NE(c->localPort(), 0);

    c->close();
    c->sendOnline("demo");
    EXPECT_EQ(c->localPort(), 0);
    auto closedFirst = channel();
    closedFirst->openOnFirstNotice();
    closedFirst->close();
    closedFirst->sendOnline("demo");
    EXPECT_EQ(closedFirst->localPort(), 0);
    auto nowhere = channel("");
    nowhere->openOnFirstNotice();
    nowhere->sendOnline("demo");
    EXPECT_EQ(nowhere->localPort(), 0);
    EXPECT_TRUE(received(300).empty());
}

TEST_F(MessageChannelLoopback, OnlyTypeOneHundredThreeIsReported) {
    auto c = channel();
    c->open();
    ASSERT_NE(c->localPort(), 0);
    ASSERT_TRUE(sendToChannel(*c, {1, 0, 0, 0}));
    ASSERT_TRUE(sendToChannel(*c, {104, 0, 0, 0}));
    ASSERT_TRUE(sendToChannel(*c, {0, 0, 0, 103}));  // 103 the other way round
    ASSERT_TRUE(sendToChannel(*c, {103, 0, 0}));     // too short to have a type
    ASSERT_TRUE(sendToChannel(*c, statusBytes(103, "with more after the type")));
    EXPECT_EQ(lines_.until(kTrashLine), std::vector<std::string>{kTrashLine});
}

TEST_F(MessageChannelLoopback, ReceiverSurvivesDatagramsOfAnySize) {
    auto c = channel();
    c->open();
    std::mt19937 random(7);
    for (size_t size : {0, 1, 3, 4, 1352, 1353, 65507}) {
        Bytes bytes(size);
        for (auto& b : bytes) b = static_cast<unsigned char>(random());
        if (size >= 4) bytes[0] = 104;  // never the one reported type
        EXPECT_TRUE(sendToChannel(*c, bytes)) << size;
    }
    ASSERT_TRUE(sendToChannel(*c, kTrash));
    // The empty one is the only read that returns nothing.
    EXPECT_EQ(lines_.until(kTrashLine), (std::vector<std::string>{"recv error\n", kTrashLine}));
}

TEST_F(MessageChannelLoopback, CloseIsQuickInEveryState) {
    auto start = Clock::now();
    auto neverOpened = channel();
    neverOpened->close();
    neverOpened->close();
    EXPECT_EQ(neverOpened->localPort(), 0);
    EXPECT_LT(secondsSince(start), 1.0);

    auto waiting = channel();
    waiting->open();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // into the receiver's wait
    start = Clock::now();
    waiting->close();
    EXPECT_LT(secondsSince(start), 3.0);

    // Closed before either thread has had a chance to run.
    start = Clock::now();
    auto early = channel();
    early->open();
    early->startKeepAlive();
    early->close();
    early.reset();
    // Destroyed without close, keep-alive asleep.
    auto dropped = channel();
    dropped->open();
    dropped->startKeepAlive();
    EXPECT_FALSE(received().empty());
    dropped.reset();
    EXPECT_LT(secondsSince(start), 3.0);
}

TEST_F(MessageChannelLoopback, SendsRacingCloseAreSafe) {
    auto c = channel();
    c->open();
    std::atomic<bool> go{true};
    std::vector<std::thread> senders;
    for (int i = 0; i < 3; ++i) {
        senders.emplace_back([&] {
            while (go) {
                c->sendOffline("demo");
                c->sendOnline("demo");
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    c->close();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    go = false;
    for (auto& t : senders) t.join();
    EXPECT_EQ(c->localPort(), 0);
}

TEST(MessageChannelException, KeepsAtMost255BytesAndCopiesWhole) {
    const std::string text(300, 'x');
    MessageChannel::Exception cut(text);
    EXPECT_EQ(std::string(cut.message()), text.substr(0, 255));
    const MessageChannel::Exception original(gbText(IDS_MSG_BIND_FAILED));
    const MessageChannel::Exception copy(original);
    EXPECT_EQ(std::string_view(copy.message()), gbText(IDS_MSG_BIND_FAILED));
}

TEST(MessageDatagram, ShortReadsStayWithinTheirBytes) {
    // Heap blocks of exactly the received size, so a read past them is caught.
    for (long size : {1, 3}) {
        auto bytes = std::make_unique<unsigned char[]>(static_cast<size_t>(size));
        bytes[0] = 103;
        EXPECT_EQ(lineForReceived(bytes.get(), size), "") << size;
    }
    EXPECT_EQ(lineForReceived(nullptr, 0), "recv error\n");
    EXPECT_EQ(lineForReceived(nullptr, -1), "recv error\n");
}

// The fuzzer's seeds and any input that once broke the datagram code.
TEST(MessageDatagram, FuzzInputs) {
    const fs::path fuzz = fs::path(__FILE__).parent_path().parent_path() / "fuzz";
    int replayed = 0;
    for (const char* folder : {"datagram-seeds", "datagram-regressions"}) {
        if (!fs::exists(fuzz / folder)) continue;
        for (const auto& entry : fs::directory_iterator(fuzz / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_EQ(fuzz::runDatagramFuzzCase(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                bytes.size()),
                      "")
                << entry.path();
            ++replayed;
        }
    }
    if (replayed == 0) GTEST_SKIP() << "no fuzz inputs beside the tests";
}

class MessageServerIni : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnix-provider-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const std::string& text) {
        std::ofstream(dir_ / "Provider.ini", std::ios::binary) << text;
    }
    fs::path dir_;
};

TEST_F(MessageServerIni, AddressAndPort) {
    write("[Other]\r\nAddress=1.1.1.1\r\n[MessageServer]\r\nAddress=10.8.0.2\r\nPort=4000\r\n");
    MessageServer server = readMessageServer(dir_, systemProfile());
    EXPECT_EQ(server.address, "10.8.0.2");
    EXPECT_EQ(server.port, 4000);

    write("[MessageServer]\r\nAddress=msg.example.net\r\n");
    server = readMessageServer(dir_, systemProfile());
    EXPECT_EQ(server.address, "msg.example.net");
    EXPECT_EQ(server.port, 3360);
}

TEST_F(MessageServerIni, MissingFileOrUnusablePort) {
    MessageServer server = readMessageServer(dir_, systemProfile());
    EXPECT_EQ(server.address, "");
    EXPECT_EQ(server.port, 3360);

    for (const char* port : {"0", "70000", "none"}) {
        write(std::string("[MessageServer]\r\nAddress=10.8.0.2\r\nPort=") + port + "\r\n");
        EXPECT_EQ(readMessageServer(dir_, systemProfile()).port, 3360) << port;
    }
}

}  // namespace
}  // namespace tarnix
