#include "app/RemoteCommand.h"

#include <algorithm>
#include <cstring>

#include "app/CommandLine.h"
#include "dial/DialFailure.h"

namespace tarnix {
namespace {

// Copies at most size - 1 bytes, never half of a two-byte GB2312 character.
void copyText(char* to, std::size_t size, const std::string& text) {
    std::size_t n = 0;
    while (n < text.size()) {
        const std::size_t step =
            static_cast<unsigned char>(text[n]) >= 0x81 && n + 1 < text.size() ? 2 : 1;
        if (n + step > size - 1) break;
        n += step;
    }
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

std::string shown(const char* text) { return *text ? std::string(text) : std::string("-"); }

}  // namespace

std::optional<RemoteVerb> readRemoteRequest(std::uintptr_t tag, const void* data, std::size_t size) {
    if (tag != kRemoteRequestTag || !data || size != sizeof(RemoteRequest)) return std::nullopt;
    RemoteRequest request;
    std::memcpy(&request, data, sizeof request);
    switch (static_cast<RemoteVerb>(request.verb)) {
        case RemoteVerb::Status:
        case RemoteVerb::Connect:
        case RemoteVerb::Disconnect:
            return static_cast<RemoteVerb>(request.verb);
    }
    return std::nullopt;
}

std::optional<RemoteReply> readRemoteReply(std::uintptr_t tag, const void* data, std::size_t size) {
    if (tag != kRemoteReplyTag || !data || size != sizeof(RemoteReply)) return std::nullopt;
    RemoteReply reply;
    std::memcpy(&reply, data, sizeof reply);
    if (reply.state > static_cast<std::uint32_t>(RemoteLinkState::Up)) return std::nullopt;
    reply.account[sizeof reply.account - 1] = '\0';
    reply.address[sizeof reply.address - 1] = '\0';
    return reply;
}

RemoteReply makeRemoteReply(RemoteLinkState state, std::int32_t outcome, const std::string& account,
                            const std::string& address, std::uint32_t secondsUp) {
    RemoteReply reply;
    reply.state = static_cast<std::uint32_t>(state);
    reply.outcome = outcome;
    reply.secondsUp = secondsUp;
    copyText(reply.account, sizeof reply.account, account);
    copyText(reply.address, sizeof reply.address, address);
    return reply;
}

std::string remoteStatusLine(const RemoteReply& reply) {
    if (reply.state != static_cast<std::uint32_t>(RemoteLinkState::Up)) return "disconnected";
    return "connected " + shown(reply.account) + " " + shown(reply.address) + " " +
           std::to_string(reply.secondsUp);
}

std::optional<int> settledExitCode(RemoteVerb verb, const RemoteReply& reply) {
    const auto state = static_cast<RemoteLinkState>(reply.state);
    switch (verb) {
        case RemoteVerb::Status:
            return state == RemoteLinkState::Up ? kExitOk : kExitNotConnected;
        case RemoteVerb::Connect:
            if (state == RemoteLinkState::Up) return kExitOk;
            if (reply.outcome == kRemoteNoAccount) return kExitNoAccount;
            if (reply.outcome > 0) return reply.outcome;
            return std::nullopt;
        case RemoteVerb::Disconnect:
            if (state == RemoteLinkState::Down) return kExitOk;
            return std::nullopt;
    }
    return std::nullopt;
}

void RemoteLink::linkUp() {
    state_ = RemoteLinkState::Up;
    if (outcome_ == kRemotePending) outcome_ = 0;
}

void RemoteLink::dialEnded(int lastError) {
    // Also shown at start and after a hang-up: only a dial under way ends here.
    if (state_ != RemoteLinkState::Dialling) return;
    state_ = RemoteLinkState::Down;
    // A dial that ended without an error of its own was given up (the user disconnected).
    if (outcome_ == kRemotePending) outcome_ = lastError > 0 ? lastError : kDialErrorAbandoned;
}

RemoteLink::Action RemoteLink::take(RemoteVerb verb, bool canDial) {
    switch (verb) {
        case RemoteVerb::Status:
            return Action::None;
        case RemoteVerb::Connect:
            if (state_ == RemoteLinkState::Up) {
                outcome_ = 0;
                return Action::None;
            }
            // A dial already under way (at start, or a redial) is the one waited for.
            if (state_ == RemoteLinkState::Dialling) {
                outcome_ = kRemotePending;
                return Action::None;
            }
            if (!canDial) {
                outcome_ = kRemoteNoAccount;
                return Action::None;
            }
            outcome_ = kRemotePending;
            return Action::Connect;
        case RemoteVerb::Disconnect:
            return state_ == RemoteLinkState::Down ? Action::None : Action::Disconnect;
    }
    return Action::None;
}

}  // namespace tarnix
