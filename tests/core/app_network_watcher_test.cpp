// The watcher that tells the main window once the machine reaches a network.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/NetworkWatcher.h"

namespace tarnix {
namespace {

using namespace std::chrono_literals;

template <class Done>
bool waitUntil(Done done) {
    for (int i = 0; i < 5000 && !done(); ++i) std::this_thread::sleep_for(1ms);
    return done();
}

TEST(NetworkWatcher, SaysReadyOnceAfterTheNetworkAppears) {
    std::atomic<int> checks{0}, readies{0};
    NetworkWatcher watcher;
    ASSERT_TRUE(watcher.start([&] { return ++checks >= 3 ? 1 : 0; }, [&] { ++readies; }, 1ms));
    ASSERT_TRUE(waitUntil([&] { return readies.load() == 1; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(readies.load(), 1);
    EXPECT_EQ(checks.load(), 3) << "no polling after the network was seen";
    watcher.stop();
}

// Off the network for good, the looks thin out to the longest pause (about 20 in 300 ms
// here, where a look every period would be hundreds).
TEST(NetworkWatcher, LooksLessOftenWhileNoNetworkComes) {
    std::atomic<int> checks{0};
    NetworkWatcher watcher;
    ASSERT_TRUE(watcher.start([&] { return ++checks, 0; }, [] {}, 1ms, 16ms));
    std::this_thread::sleep_for(300ms);
    watcher.stop();
    EXPECT_GE(checks.load(), 2);
    EXPECT_LT(checks.load(), 40);
}

TEST(NetworkWatcher, StopEndsAWatchThatNeverSeesANetworkAtOnce) {
    std::atomic<int> checks{0}, readies{0};
    NetworkWatcher watcher;
    ASSERT_TRUE(watcher.start([&] { return ++checks, 0; }, [&] { ++readies; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return checks.load() == 1; }));
    auto before = std::chrono::steady_clock::now();
    watcher.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s) << "the pause is woken";
    EXPECT_EQ(readies.load(), 0);
}

TEST(NetworkWatcher, StopDuringTheLastPauseSendsNothing) {
    std::atomic<int> readies{0};
    std::atomic<bool> seen{false};
    NetworkWatcher watcher;
    ASSERT_TRUE(watcher.start([&] { return seen = true, 1; }, [&] { ++readies; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return seen.load(); }));
    watcher.stop();
    EXPECT_EQ(readies.load(), 0);
}

}  // namespace
}  // namespace tarnix
