#pragma once
// Delivery of the provider's messages: while the link is up, the list published at the
// address of Provider.ini ([Messages] URL=) is fetched after each link-up and then every
// 30 minutes. A fetch that fails, or brings no message list, is tried again at the next
// turn without a word.
//
// Threads: linkUp(), periodDue(), linkDown() and stop() are called from the window's
// thread and never wait for the network. The owner's timer calls periodDue() every kPeriod
// while the link is up. Each fetch runs on a worker of its own, which hands the list it
// read to `deliver` (on the worker: the owner posts it on to its window, where the store
// is) and ends: between fetches no thread waits.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/Profile.h"
#include "messages/MessageStore.h"

namespace tarnix {

// The list's address in folder's Provider.ini; empty when none is set.
std::string readMessagesAddress(const std::filesystem::path& folder, Profile& profile);

// One HTTP GET of the list (at most `maxBytes`) and of its signature; empty on any failure
// and for a list not signed by `publicKey` (DER, ProviderKey.h). Blocks its caller.
std::optional<std::string> fetchMessageList(const std::string& address, size_t maxBytes,
                                            std::string_view publicKey);

class MessageDelivery {
  public:
    using Fetch = std::function<std::optional<std::string>(const std::string& address)>;
    using Deliver = std::function<void(std::vector<Message> list)>;
    static constexpr std::chrono::milliseconds kPeriod = std::chrono::minutes(30);

    MessageDelivery(std::string address, Fetch fetch, Deliver deliver);
    ~MessageDelivery();  // stop()
    MessageDelivery(const MessageDelivery&) = delete;
    MessageDelivery& operator=(const MessageDelivery&) = delete;

    // Fetches at once (unless a fetch is under way); false when nothing is fetched (no
    // address, or stopped), so the owner need not time the period.
    bool linkUp();
    // The period has passed: fetches again while the link is up and no fetch is under way.
    void periodDue();
    void linkDown();
    // No more fetches. A fetch under way is not waited for beyond a moment: its list is
    // dropped when it ends.
    void stop();

  private:
    struct State;
    void startFetch();
    static void fetchOnce(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::thread worker_;
};

}  // namespace tarnix
