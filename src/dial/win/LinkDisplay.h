#pragma once
// What the main window shows of the dial entry's link: the commands, the status line, the
// connection lines and the tray. The login page calls it on the window's thread, in the
// order the dial controller reported, never from a worker.

#include <string>

namespace tarnix {

class LinkDisplay {
  public:
    virtual ~LinkDisplay() = default;
    // Enables the connect or the disconnect commands.
    virtual void showCommandState(bool connected) = 0;
    // A dial is under way (DialView::showDialling): it may be cancelled, not started again.
    virtual void showDialling(int attempt, int attempts) = 0;
    virtual void showStatus(const std::wstring& text) = 0;
    // A connection of the dial entry came up / the current one ended.
    virtual void linkUp() = 0;
    virtual void linkDown() = 0;
    // The user's own dial failed; `text` says why (the status line already shows it).
    virtual void dialFailed(const std::wstring& text) = 0;
};

}  // namespace tarnix
