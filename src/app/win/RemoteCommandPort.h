#pragma once
// The running client's end of the command line: it answers the WM_COPYDATA requests a
// script's Tarnix.exe sends the main window (app/RemoteCommand.h). A request never waits
// for the link: a dial or a hang-up is posted to the window and the requester asks again.
//
// Threads: the window's own, which feeds the link what the dial controller reported.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/RemoteCommand.h"

namespace tarnix {

class RemoteCommandPort {
  public:
    // What the window does and knows for a request.
    struct Window {
        std::function<bool()> canDial;  // an account and password are shown
        std::function<void()> connect;  // posted: run after the request is answered
        std::function<void()> disconnect;
        std::function<std::string()> account;  // GB2312; the open session's
        std::function<std::string()> address;
        std::function<std::uint32_t()> secondsUp;
    };

    explicit RemoteCommandPort(Window window) : window_(std::move(window)) {}

    RemoteLink& link() { return link_; }

    // WM_COPYDATA to `self`: TRUE when the request was ours and was answered to the
    // requester's window `from`; FALSE for anything else, which changes nothing.
    LRESULT onCopyData(HWND self, WPARAM from, LPARAM data);

  private:
    Window window_;
    RemoteLink link_;
};

}  // namespace tarnix
