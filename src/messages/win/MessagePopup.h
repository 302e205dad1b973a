#pragma once
// The pop-up of a new message: a small window above the notification area with the
// message's title and the start of its text. It goes after some seconds, or at a click,
// which also asks for the message centre on that message.

#include <functional>

#include "base/win/Scoped.h"
#include "messages/MessageStore.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class MessagePopup : public Dialog {
  public:
    static constexpr UINT kShownMs = 8000;
    // `clicked` runs when the user clicks the pop-up; `closed` when its window is gone
    // (then the object is freed).
    MessagePopup(Message message, std::function<void(const Message&)> clicked,
                 std::function<void()> closed);

    // Shows a pop-up that frees itself when it closes; null when it could not be made.
    static MessagePopup* show(Message message, std::function<void(const Message&)> clicked,
                              std::function<void()> closed);
    // The start of a message's text as the pop-up shows it (GB2312, whole characters).
    static std::string preview(const std::string& content);

    void click();

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void onTimer(UINT_PTR id) override;
    HBRUSH onControlColour(HDC dc, HWND control, UINT msg) override;
    bool onEraseBackground(HDC dc) override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onDestroy() override;
    void onCancel() override { end(IDCANCEL); }

  private:
    void placeAboveTray();

    Message message_;
    std::function<void(const Message&)> clicked_;
    std::function<void()> closed_;
    ScopedBrush background_;
    ScopedFont titleFont_;
};

}  // namespace tarnix
