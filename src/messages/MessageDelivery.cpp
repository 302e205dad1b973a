#include "messages/MessageDelivery.h"

#include <system_error>

#include "base/ThreadName.h"
#include "base/net/SignedFetch.h"
#include "base/net/Url.h"
#include "messages/MessageList.h"

namespace tarnix {

std::string readMessagesAddress(const std::filesystem::path& folder, Profile& profile) {
    return profile.readString(folder / "Provider.ini", "Messages", "URL", "");
}

std::optional<std::string> fetchMessageList(const std::string& address, size_t maxBytes,
                                            std::string_view publicKey) {
    const std::optional<HttpAddress> where = parseHttpUrl(address);
    if (!where) return std::nullopt;
    SignedDocument list = fetchSigned(*where, kHttpTimeoutMs, maxBytes, publicKey);
    if (list.result != SignedFetchResult::Done) return std::nullopt;
    return std::move(list.bytes);
}

// Shared with the worker, which may outlive the delivery by the end of one fetch.
struct MessageDelivery::State {
    std::string address;
    Fetch fetch;
    Deliver deliver;
    std::mutex mutex;
    std::condition_variable ended;
    bool up = false, fetching = false, stopping = false;
};

MessageDelivery::MessageDelivery(std::string address, Fetch fetch, Deliver deliver)
    : state_(std::make_shared<State>()) {
    state_->address = std::move(address);
    state_->fetch = std::move(fetch);
    state_->deliver = std::move(deliver);
}

MessageDelivery::~MessageDelivery() {
    stop();
}

bool MessageDelivery::linkUp() {
    if (state_->address.empty()) return false;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->stopping) return false;
        state_->up = true;
    }
    startFetch();
    return true;
}

void MessageDelivery::periodDue() {
    startFetch();
}

void MessageDelivery::linkDown() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->up = false;
}

void MessageDelivery::startFetch() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (!state_->up || state_->stopping || state_->fetching) return;
        state_->fetching = true;
    }
    // The worker before this one has ended (fetching was false): its join is immediate.
    if (worker_.joinable()) worker_.join();
    try {
        worker_ = std::thread(fetchOnce, state_);
    } catch (const std::system_error&) {
        // No thread to be had: this turn is skipped, the next one tries again.
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->fetching = false;
    }
}

void MessageDelivery::stop() {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->stopping = true;
    if (!worker_.joinable()) return;
    // A fetch under way is left to finish alone, after a moment.
    const bool ended = state_->ended.wait_for(lock, std::chrono::seconds(1),
                                              [&] { return !state_->fetching; });
    lock.unlock();
    if (ended)
        worker_.join();
    else
        worker_.detach();
}

void MessageDelivery::fetchOnce(std::shared_ptr<State> state) {
    nameThisThread("message fetch");
    std::optional<std::vector<Message>> list;
    if (std::optional<std::string> bytes = state->fetch(state->address))
        list = parseMessageList(*bytes);
    // A list read after the stop is dropped; one read after a link-down is still news.
    bool deliver = false;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        deliver = list && !list->empty() && !state->stopping;
    }
    if (deliver) state->deliver(std::move(*list));
    std::lock_guard<std::mutex> lock(state->mutex);
    state->fetching = false;
    state->ended.notify_all();
}

}  // namespace tarnix
