#include "messages/win/MessageDesk.h"

#include <string>

#include "base/net/ProviderKey.h"
#include "base/Prompt.h"
#include "base/Profile.h"
#include "base/Texts.h"
#include "messages/MessageList.h"
#include "messages/win/MessageCenterDialog.h"
#include "messages/win/MessagePopup.h"
#include "messages_ids.h"
#include "resource.h"
#include "store/ConfigStore.h"
#include "widgets/win/UiTask.h"

namespace tarnix {

MessageDesk::~MessageDesk() {
    stop();
}

void MessageDesk::attach(HWND mainWindow, MessageStore* store, ConfigStore& config,
                         const std::filesystem::path& folder, MessageDelivery::Fetch fetch) {
    main_ = mainWindow;
    store_ = store;
    config_ = &config;
    if (!store_) return;
    // The unread count in the menu follows every change of the store.
    store_->setChangeListener([this] {
        prepareMenu(GetMenu(main_));
        DrawMenuBar(main_);
    });
    prepareMenu(GetMenu(main_));
    // The key is read by the delivery's worker when it fetches, not here: checking it
    // loads the system's cryptography, which the window does not need to show.
    if (!fetch)
        fetch = [folder](const std::string& address) {
            return fetchMessageList(address, MessageListLimits{}.maxBytes,
                                    readProviderKey(systemProfile(), folder));
        };
    HWND window = main_;
    delivery_ = std::make_unique<MessageDelivery>(
        readMessagesAddress(folder, systemProfile()), std::move(fetch),
        [window, this](std::vector<Message> list) {
            // Dropped when the window is gone: `this` lives as long as the window.
            postUiTask(window, [this, list = std::move(list)] { received(list); });
        });
}

// The list is fetched again each period while the link is up, on the window's timer: no
// thread waits for the turn.
void MessageDesk::linkUp() {
    if (delivery_ && !stopped_ && delivery_->linkUp())
        SetTimer(main_, kFetchTimer, static_cast<UINT>(MessageDelivery::kPeriod.count()), nullptr);
}

void MessageDesk::linkDown() {
    KillTimer(main_, kFetchTimer);
    if (delivery_) delivery_->linkDown();
}

bool MessageDesk::onTimer(UINT_PTR id) {
    if (id != kFetchTimer) return false;
    if (delivery_ && !stopped_) delivery_->periodDue();
    return true;
}

void MessageDesk::stop() {
    stopped_ = true;
    if (main_) KillTimer(main_, kFetchTimer);
    waiting_.clear();
    if (delivery_) delivery_->stop();
    if (popup_) DestroyWindow(popup_->hwnd());
    popup_ = nullptr;
    MessageCenterDialog::closeAll();
    if (store_) store_->setChangeListener({});
}

bool MessageDesk::onCommand(int id) {
    if (id == ID_MESSAGE_CENTER) {
        openCenter();
        return true;
    }
    if (id == ID_MESSAGE_POPUPS) {
        config_->SetMessagePopup(!config_->IsMessagePopupCached());
        prepareMenu(GetMenu(main_));
        return true;
    }
    return false;
}

void MessageDesk::prepareMenu(HMENU menu) const {
    if (!menu) return;
    std::wstring item = text(IDS_MSG_CENTER_ITEM);
    if (store_ && store_->unreadCount() > 0) {
        wchar_t counted[128];
        wsprintfW(counted, text(IDS_MSG_CENTER_UNREAD).c_str(),
                  static_cast<int>(store_->unreadCount()));
        item = counted;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = item.data();
    SetMenuItemInfoW(menu, ID_MESSAGE_CENTER, FALSE, &info);
    const bool popups = config_ && config_->IsMessagePopupCached();
    CheckMenuItem(menu, ID_MESSAGE_POPUPS, MF_BYCOMMAND | (popups ? MF_CHECKED : MF_UNCHECKED));
}

void MessageDesk::openCenter(std::optional<Message> focus) {
    if (!store_) return;
    // The centre would show an empty store: say why, once a run.
    if (store_->isTooLargeThisRun() && !toldTooLarge_) {
        toldTooLarge_ = true;
        prompt({main_, text(IDS_MSG_STORE_TOO_LARGE), text(IDS_PROMPT_CAPTION), PromptIcon::Warning});
    }
    MessageCenterDialog::open(*store_, std::move(focus), main_);
}

void MessageDesk::received(const std::vector<Message>& list) {
    if (!store_ || stopped_) return;
    const std::vector<Message> added = store_->merge(list);
    if (added.empty() || !config_->IsMessagePopupCached()) return;
    for (const Message& m : added) waiting_.push_back(m);
    while (waiting_.size() > kMaxWaitingPopups) waiting_.pop_front();
    if (!popup_) showNextPopup();
}

void MessageDesk::showNextPopup() {
    if (stopped_ || waiting_.empty()) return;
    Message next = std::move(waiting_.front());
    waiting_.pop_front();
    HWND window = main_;
    popup_ = MessagePopup::show(
        std::move(next), [this](const Message& m) { openCenter(m); },
        [this, window] {
            popup_ = nullptr;
            // The next one after this one's window is gone, from the main window's queue.
            postUiTask(window, [this] {
                if (!popup_) showNextPopup();
            });
        });
}

}  // namespace tarnix
