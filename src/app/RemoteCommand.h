#pragma once
// The requests a script's Tarnix.exe sends the running client, and what the client tells
// it back. Both travel as WM_COPYDATA: the request to the client's main window, carrying
// the requester's window (a message-only one) in wParam; the client answers each request
// it takes by sending that window a reply, before its handler returns 1. A reply reports
// the link; the requester repeats Status until the reply settles its switch.
//
// The client owns a RemoteLink on its window's thread: the window feeds it what the dial
// controller reported, in that order, and asks it what a request means.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnix {

// COPYDATASTRUCT::dwData of a request and of a reply; anything else is not ours.
inline constexpr std::uintptr_t kRemoteRequestTag = 0x54584351;  // "TXCQ"
inline constexpr std::uintptr_t kRemoteReplyTag = 0x54584352;    // "TXCR"

enum class RemoteVerb : std::uint32_t { Status = 1, Connect = 2, Disconnect = 3 };

enum class RemoteLinkState : std::uint32_t { Down = 0, Dialling = 1, Up = 2 };

// The outcome of the last /connect while it is not settled, and when the client had
// nothing to dial with; otherwise 0 (the link came up) or the dial's error number.
inline constexpr std::int32_t kRemotePending = -1;
inline constexpr std::int32_t kRemoteNoAccount = -2;

struct RemoteRequest {
    std::uint32_t verb = 0;
};

struct RemoteReply {
    std::uint32_t state = 0;  // RemoteLinkState
    std::int32_t outcome = 0;
    std::uint32_t secondsUp = 0;
    char account[64] = {};  // GB2312, zero-terminated; empty when not known
    char address[16] = {};  // dotted IPv4, zero-terminated; empty when not known
};

// A request as WM_COPYDATA delivered it: nullopt unless the tag, the exact size and the
// verb are one of ours (a stranger's or a damaged message is refused).
std::optional<RemoteVerb> readRemoteRequest(std::uintptr_t tag, const void* data, std::size_t size);
// The same for a reply; its texts are made zero-terminated whatever came.
std::optional<RemoteReply> readRemoteReply(std::uintptr_t tag, const void* data, std::size_t size);

RemoteReply makeRemoteReply(RemoteLinkState state, std::int32_t outcome, const std::string& account,
                            const std::string& address, std::uint32_t secondsUp);

// "connected <account> <address> <seconds up>" or "disconnected"; "-" for what is not known.
std::string remoteStatusLine(const RemoteReply& reply);

// The exit code a reply settles `verb` with, or nullopt while the requester must ask again.
std::optional<int> settledExitCode(RemoteVerb verb, const RemoteReply& reply);

// The client's side: the link as the window last showed it and the outcome of /connect.
class RemoteLink {
  public:
    enum class Action { None, Connect, Disconnect };

    // What the dial controller reported.
    void dialling() { state_ = RemoteLinkState::Dialling; }
    void linkUp();
    void linkDown() { state_ = RemoteLinkState::Down; }
    // The connect commands are enabled again without a link: a dial (or the redials after
    // a drop) ended without one, with the dialling library's last error.
    void dialEnded(int lastError);

    // A request: what the window must do for it. Connect dials only when the link is down
    // and `canDial` (an account and password are shown); Disconnect hangs up a link or
    // cancels a dial.
    Action take(RemoteVerb verb, bool canDial);

    RemoteLinkState state() const { return state_; }
    std::int32_t outcome() const { return outcome_; }

  private:
    RemoteLinkState state_ = RemoteLinkState::Down;
    std::int32_t outcome_ = 0;
};

}  // namespace tarnix
