#pragma once
// What the dial controller shows: the window that implements this owns the commands, the
// status line and the tray. The controller calls it from its worker and monitor threads
// while it holds the dial lock, so an implementation may block on the user-interface
// thread (as SendMessage does) but must never wait for the dial lock itself.

#include <string_view>

namespace tarnix {

class DialView {
  public:
    virtual ~DialView() = default;
    // A connection of the dial entry came up / the current one ended.
    virtual void linkUp() = 0;
    virtual void linkDown() = 0;
    // Enables the connect or the disconnect commands.
    virtual void showCommandState(bool connected) = 0;
    // A dial is under way: the disconnect commands are enabled so that it can be
    // cancelled, the connect commands are not, and the status line says that the client
    // is dialling. `attempt` is 0 for the user's own dial, else the number of a redial
    // after a drop, of `attempts` in all (0: until one succeeds).
    virtual void showDialling(int attempt, int attempts) = 0;
    // The status line's text (IDS_STATUS_CONNECTED and IDS_STATUS_WELCOME are its two
    // standing texts).
    virtual void showStatus(std::wstring_view text) = 0;
    // The user's own dial failed; `text` says why and is already on the status line. Not
    // called for the failures of redials after a drop.
    virtual void dialFailed(std::wstring_view text) = 0;
};

}  // namespace tarnix
