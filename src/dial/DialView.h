#pragma once
// What the dial controller shows: the window that implements this owns the commands, the
// status line and the tray. The controller calls it from its worker and monitor threads
// while it holds the dial lock, so an implementation may block on the user-interface
// thread (as SendMessage does) but must never wait for the dial lock itself.

#include <string_view>

namespace tarnix {

class DialView {
  public:
    // "已经成功地建立了连接" and "欢迎使用澄远宽带拨号客户端", the status line's two texts.
    static constexpr std::string_view kConnectedStatus =
        "\xd2\xd1\xbe\xad\xb3\xc9\xb9\xa6\xb5\xd8\xbd\xa8\xc1\xa2\xc1\xcb\xc1\xac\xbd\xd3";
    static constexpr std::string_view kWelcomeStatus =
        "\xbb\xb6\xd3\xad\xca\xb9\xd3\xc3\xb3\xce\xd4\xb6\xbf\xed\xb4\xf8\xb2\xa6\xba\xc5"
        "\xbf\xcd\xbb\xa7\xb6\xcb";

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
    // GB2312 text for the status line.
    virtual void showStatus(std::string_view text) = 0;
    // The user's own dial failed; `text` (GB2312) says why and is already on the status
    // line. Not called for the failures of redials after a drop.
    virtual void dialFailed(std::string_view text) = 0;
};

}  // namespace tarnix
