#pragma once
// The one top-level window: a narrow, always-on-top dialog at the right edge of the screen.
// Its destruction ends the program.

#include <memory>

#include "dial/win/LoginPage.h"
#include "messaging/MessageChannel.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class DialerApp;
class CConnectManage;
class ConfigStore;

class MainWindow : public Dialog {
  public:
    explicit MainWindow(DialerApp& app);

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void onDestroy() override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool preTranslate(MSG& msg) override;

  private:
    void placeAtRightEdge();
    void openMessageChannel();
    void openLoginPage();

    DialerApp& app_;
    HICON icon_ = nullptr;
    ConfigStore* config_ = nullptr;
    CConnectManage* connectManage_ = nullptr;
    MessageChannel messageChannel_;
    // After the channel, so that it ends before the channel does.
    std::unique_ptr<LoginPage> loginPage_;
};

}  // namespace tarnix
