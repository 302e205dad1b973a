#pragma once
// The one top-level window: a narrow, always-on-top dialog at the right edge of the screen
// with a toolbar, a menu, four tab pages and the connection lines; it lives in the
// notification area while minimised and slides out of sight when docked to a screen edge.
// Its destruction ends the program.

#include <filesystem>
#include <memory>

#include "app/NetworkWatcher.h"
#include "app/win/CaptionSkin.h"
#include "app/win/ContactPage.h"
#include "app/win/MainToolbar.h"
#include "app/win/MainWindowFit.h"
#include "app/win/PageTabs.h"
#include "app/win/RemoteCommandPort.h"
#include "app/win/ServicesPage.h"
#include "app/win/TrayIcon.h"
#include "app/win/WindowBackground.h"
#include "app/win/WindowDocking.h"
#include "base/win/Scoped.h"
#include "dial/win/LinkDisplay.h"
#include "dial/win/LoginPage.h"
#include "messages/win/MessageDesk.h"
#include "messageserver/MessageChannel.h"
#include "news/win/NewsLauncher.h"
#include "records/MonthFile.h"
#include "settings/ReconnectSchedule.h"
#include "settings/ShutdownSchedule.h"
#include "shortcuts/win/ShortcutsPage.h"
#include "update/win/UpdateOffer.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class CConnectManage;
class Clock;
class ConfigStore;
class LinkProbes;
class Power;

class MainWindow : public Dialog, private LinkDisplay {
  public:
    // What the window works with; the application object owns all of it.
    struct Services {
        ConfigStore& config;
        CConnectManage* connectManage;  // null: nothing is dialled
        std::filesystem::path folder;   // the program's folder: data, help.chm
        Clock* clock = nullptr;         // null: the system's
        Power* power = nullptr;         // null: the system's
        MessageStore* messages = nullptr;  // null: no messages
        MessageDelivery::Fetch fetchMessages = {};  // empty: over HTTP (tests replace it)
        // Empty: the work area of the monitor nearest the window (tests give a screen's).
        MainWindowFit::WorkArea workArea = {};
    };

    explicit MainWindow(Services services);
    ~MainWindow() override;  // where LinkProbes is complete

    // The tray menu with its connect, disconnect and status items enabled as the main
    // menu's are; the caller destroys it.
    HMENU loadTrayMenu() const;
    const TrayIcon& tray() const { return tray_; }
    HWND toolbar() const { return toolbar_.hwnd(); }
    LoginPage* loginPage() const { return loginPage_.get(); }
    int selectedTab() const { return tabs_.selected(); }
    const EdgeDock& dock() const { return docking_.state(); }
    MessageDesk& messageDesk() { return messageDesk_; }

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;
    void onTimer(UINT_PTR id) override;
    void onSize(UINT type, int width, int height) override;
    // Enter and Escape never close the window; the close box only minimises it.
    void onOK() override {}
    void onCancel() override {}
    void onClose() override;
    bool onEraseBackground(HDC dc) override { return background_.erase(dc); }
    HBRUSH onControlColour(HDC dc, HWND control, UINT msg) override;
    void onDestroy() override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool preTranslate(MSG& msg) override;

  private:
    struct CommandRoute;
    static const CommandRoute kCommands[];

    // The commands of the menus, the toolbar and the tray menu.
    void connect() { loginPage_->connectCommand(); }
    void disconnect() { loginPage_->disconnectCommand(); }
    void exitProgram();
    void showAbout();
    void showFromTray();
    void showRecords();
    void showStatistics();
    void showUsers();
    void checkFaults();
    void showSettings();
    // Ticks the scheduled shutdown once a second while one is set, and not otherwise.
    void watchSchedule();
    void editStartList();
    void showNews();
    void startUpdater() { startUpdaterFor(hwnd(), services_.folder); }

    // LinkDisplay: what the login page reports of the link, on this window's thread.
    void showCommandState(bool connected) override;
    void showDialling(int attempt, int attempts) override;
    void enableCommands(bool connect, bool disconnect, bool statistics);
    void showStatus(const std::wstring& text) override;
    void linkUp() override { onLinkUp(); }
    void linkDown() override { onLinkDown(); }
    void dialFailed(const std::wstring& text) override;
    void showConnectionLines(bool up);

    void openPages();
    void layoutUnderToolbar();
    void paintMenus();
    void colourMenus();
    void followColours();
    void placeAtRightEdge();
    // Wholly on the work area of the window's monitor (not moved while docked).
    void fitWorkArea();
    void onDpiChanged(Dpi dpi, const RECT& suggested);
    void startAfterShown();
    void startLoginPage();
    // The tray icon's event, and with it the icon's place for the keyboard's menu.
    void onTrayEvent(UINT event, WPARAM anchor);
    void showTrayMenu(POINT at);
    void onLinkUp();
    void onLinkDown();
    void restoreFromTray();
    Clock& clock() const;
    std::filesystem::path recordFolder() const { return recordFolderBeside(services_.folder); }
    void showHelp();
    void paintIcon();
    void endSession();
    void onPowerEvent(WPARAM event);
    RemoteCommandPort::Window remoteWindow();
    void reconnectIfDue();
    void warnOfUsage();

    Services services_;
    // Shared icons of the program's resources: the system frees them with the program.
    HICON icon_ = nullptr;         // the program's icon; also the connected tray icon
    HICON offlineIcon_ = nullptr;  // the tray icon while no link is up
    HACCEL keys_ = nullptr;        // Ctrl+N, Ctrl+D, F1; freed with the program's resources
    MainToolbar toolbar_;
    PageTabs tabs_;
    CaptionSkin caption_;
    TrayIcon tray_;
    WindowBackground background_;
    MainWindowFit fit_;
    Dpi dpi_;
    DialogRescale lineFonts_;
    ScopedBrush menuBrush_;
    // The connection lines as the template gives them, shown again when the link goes.
    std::wstring entryIdle_, stateIdle_, addressIdle_;
    UINT taskbarCreated_ = 0;
    WindowDocking docking_;
    ShutdownSchedule schedule_;
    ReconnectSchedule reconnect_;
    bool connected_ = false;  // selects the tray tip
    bool trayMenuByMouse_ = false;  // the tray menu was shown on a right press
    std::unique_ptr<LinkProbes> probes_;
    NetworkWatcher networkWatcher_;
    // After a resume from sleep, until the network is back for the dial.
    NetworkWatcher resumeWatcher_;
    bool redialAfterSleep_ = false;
    bool sessionEnded_ = false;
    AutomaticUpdateCheck updateCheck_;  // after the watcher that starts it
    MessageChannel messageChannel_;
    MessageDesk messageDesk_;
    // After the channel, so that they end before the channel does.
    std::unique_ptr<LoginPage> loginPage_;
    ShortcutsPage shortcutsPage_;
    ServicesPage servicesPage_;
    ContactPage contactPage_;
    NewsLauncher news_;  // the news window, once per run
    RemoteCommandPort remote_;  // the command line's requests
};

}  // namespace tarnix
