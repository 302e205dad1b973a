#include "messages/MessageDelivery.h"

#include "base/net/SignedFetch.h"
#include "base/net/Url.h"
#include "messages/MessageList.h"
#include "base/ThreadName.h"

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
    std::chrono::milliseconds period;
    std::mutex mutex;
    std::condition_variable wake;
    bool up = false, fetchNow = false, stopping = false, finished = false;
};

MessageDelivery::MessageDelivery(std::string address, Fetch fetch, Deliver deliver,
                                 std::chrono::milliseconds period)
    : state_(std::make_shared<State>()) {
    state_->address = std::move(address);
    state_->fetch = std::move(fetch);
    state_->deliver = std::move(deliver);
    state_->period = period;
}

MessageDelivery::~MessageDelivery() {
    stop();
}

void MessageDelivery::linkUp() {
    if (state_->address.empty()) return;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->stopping) return;
        state_->up = true;
        state_->fetchNow = true;
    }
    state_->wake.notify_all();
    if (!worker_.joinable()) worker_ = std::thread(run, state_);
}

void MessageDelivery::linkDown() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->up = false;
    }
    state_->wake.notify_all();
}

void MessageDelivery::stop() {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->stopping = true;
    state_->wake.notify_all();
    if (!worker_.joinable()) return;
    // An idle worker ends at once; one in the middle of a fetch is left to finish alone.
    const bool ended = state_->wake.wait_for(lock, std::chrono::seconds(1),
                                             [&] { return state_->finished; });
    lock.unlock();
    if (ended)
        worker_.join();
    else
        worker_.detach();
}

void MessageDelivery::run(std::shared_ptr<State> state) {
    nameThisThread("message fetch");
    std::unique_lock<std::mutex> lock(state->mutex);
    auto next = std::chrono::steady_clock::now();
    while (!state->stopping) {
        if (!state->up) {
            state->wake.wait(lock, [&] { return state->stopping || state->up; });
            continue;
        }
        if (!state->fetchNow && std::chrono::steady_clock::now() < next) {
            state->wake.wait_until(lock, next,
                                   [&] { return state->stopping || state->fetchNow || !state->up; });
            continue;
        }
        state->fetchNow = false;
        lock.unlock();
        std::optional<std::vector<Message>> list;
        if (std::optional<std::string> bytes = state->fetch(state->address))
            list = parseMessageList(*bytes);
        lock.lock();
        next = std::chrono::steady_clock::now() + state->period;
        if (list && !list->empty() && !state->stopping) {
            lock.unlock();
            state->deliver(std::move(*list));
            lock.lock();
        }
    }
    state->finished = true;
    state->wake.notify_all();
}

}  // namespace tarnix
