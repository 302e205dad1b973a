#pragma once
// The login page: the first page of the main window. The account form (account, password,
// "记住密码") and the dial controller's face: it forwards the connect and disconnect
// commands, and hands what the controller reports from its threads to the window's
// LinkDisplay on the window's own thread.

#include <filesystem>
#include <memory>
#include <string_view>

#include "base/win/Scoped.h"
#include "dial/AccountForm.h"
#include "dial/DialController.h"
#include "dial/DialView.h"
#include "dial/win/LinkDisplay.h"
#include "widgets/win/ContentLift.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ImageButton.h"

namespace tarnix {

class CConnectManage;
class ConfigStore;
class DialBackend;

class LoginPage : public Dialog, private DialView {
  public:
    // `connectManage` may be null: then nothing is dialled or hung up. `display` (may be
    // null) outlives the page.
    LoginPage(ConfigStore& config, CConnectManage* connectManage,
              std::filesystem::path recordFolder, LinkDisplay* display);
    ~LoginPage() override;

    void connectCommand();
    void disconnectCommand();
    // True when the page shows both an account and a password (for connecting at start).
    bool hasAccountAndPassword();
    // The hidden list of dial entries, built and filled on the first call.
    void listDialEntries();
    int startMonitors();
    // Stops the monitors; the window's messages are handled meanwhile.
    void stopMonitors();
    void closeRecordNormal();
    // After stopMonitors: closes the record, tells the server and hangs up.
    void endSession();
    void setMessageChannel(OnlineNotices* channel);
    bool connectedState() const;
    // The page's connect and disconnect buttons, as the window's commands are.
    void enableButtons(bool connect, bool disconnect);
    void followDpi(Dpi from, Dpi to) override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void exchange(DataExchange& dx) override;
    bool onEraseBackground(HDC dc) override { return paintBackground(dc); }
    // A page shorter than its fields and buttons (a short screen) lifts them into view.
    void onSize(UINT, int, int height) override;
    HBRUSH onControlColour(HDC dc, HWND control, UINT msg) override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool preTranslate(MSG& msg) override;

  private:
    // DialView, called from the controller's threads: each hands its report to the
    // display on the page's thread.
    void linkUp() override;
    void linkDown() override;
    void showCommandState(bool connected) override;
    void showDialling(int attempt, int attempts) override;
    void showStatus(std::wstring_view text) override;
    void dialFailed(std::wstring_view text) override;

    static int onEntry(char* entryName, void* page);
    void fillAccounts();
    void accountChosen();
    bool pressesButton(const MSG& msg);
    bool paintBackground(HDC dc);
    void toDisplay(void (LinkDisplay::*report)());

    ConfigStore& config_;
    CConnectManage* connectManage_;
    std::filesystem::path recordFolder_;
    std::unique_ptr<DialBackend> noBackend_;  // remote-access view when there is no library
    AccountForm form_;
    LoginFields fields_;
    std::unique_ptr<DialController> controller_;
    ImageButton connectButton_;
    ImageButton disconnectButton_;
    ScopedBitmap background_;
    ContentLift lift_;
    LinkDisplay* display_;
};

}  // namespace tarnix
