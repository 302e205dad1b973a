#pragma once
// Everything of the messages that lives with the main window: the delivery of the
// provider's list while the link is up, its arrival in the store, a pop-up for each new
// message (when MsgPop is set), the message centre command with the unread count in its
// menu text, and the command that turns the pop-ups off and on.
//
// Threads: the main window's thread. The delivery's worker reaches it only through
// postUiTask().

#include <windows.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

#include "messages/MessageDelivery.h"
#include "messages/MessageStore.h"

namespace tarnix {

class ConfigStore;
class MessagePopup;

class MessageDesk {
  public:
    // At most this many pop-ups wait their turn; a larger batch shows its newest ones.
    static constexpr size_t kMaxWaitingPopups = 5;

    MessageDesk() = default;
    ~MessageDesk();
    MessageDesk(const MessageDesk&) = delete;
    MessageDesk& operator=(const MessageDesk&) = delete;

    // `store` may be null (then there is nothing to do). Reads Provider.ini; no network.
    // `fetch` replaces the HTTP fetch (tests).
    void attach(HWND mainWindow, MessageStore* store, ConfigStore& config,
                const std::filesystem::path& folder, MessageDelivery::Fetch fetch = {});
    void linkUp();
    void linkDown();
    // The main window's WM_TIMER: true when `id` was the desk's (the list is due again).
    bool onTimer(UINT_PTR id);
    // The main window's timer the desk uses; the window uses no other timer with this id.
    static constexpr UINT_PTR kFetchTimer = 9;
    // Before the main window goes: no more fetches, pop-ups or posted arrivals, and the
    // centres close.
    void stop();

    // The centre and pop-up commands; true when `id` was one of them.
    bool onCommand(int id);
    // Sets the text of the centre's item and the check of the pop-up item in `menu`.
    void prepareMenu(HMENU menu) const;

    // On the window's thread: a list read from the provider.
    void received(const std::vector<Message>& list);
    void openCenter(std::optional<Message> focus = {});
    MessagePopup* currentPopup() const { return popup_; }

  private:
    void showNextPopup();

    HWND main_ = nullptr;
    MessageStore* store_ = nullptr;
    ConfigStore* config_ = nullptr;
    std::unique_ptr<MessageDelivery> delivery_;
    std::deque<Message> waiting_;
    MessagePopup* popup_ = nullptr;
    bool stopped_ = false;
    bool toldTooLarge_ = false;
};

}  // namespace tarnix
