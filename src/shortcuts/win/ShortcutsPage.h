#pragma once
// ShortcutsPage: the main window's "辅助功能" page. An outlook bar covers it: "我的电脑"
// with the drives, then "常用软件" and the user's folders of shortcuts from Settings.ini.
// The bar's context menu commands land here; every change is saved at once. Settings.ini
// is read and saved when the page is made; the drives are listed when it is first shown.

#include <filesystem>
#include <string>
#include <vector>

#include "shortcuts/ShortcutSettings.h"
#include "shortcuts/win/OutlookBarCtrl.h"
#include "widgets/win/Dialog.h"
#include "base/win/Scoped.h"

namespace tarnix {

class ShortcutsPage : public Dialog {
  public:
    // The built-in images, at the start of both image lists.
    enum Image { kComputerImage, kFolderImage, kProgramImage, kWebImage };

    explicit ShortcutsPage(int templateId);
    // Settings.ini is read from and written to this folder (the program's by default).
    void setProgramFolder(std::filesystem::path folder) { programFolder_ = std::move(folder); }

    OutlookBarCtrl& bar() { return bar_; }
    // Lists the drives under "我的电脑" if the page has not been shown yet.
    void fill();
    // The background is drawn again for the new scale when next painted.
    void followDpi(Dpi from, Dpi to) override {
        Dialog::followDpi(from, to);
        background_.reset();
    }

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onEraseBackground(HDC dc) override;
    void onSize(UINT type, int width, int height) override;
    void onDestroy() override;

  private:
    void addImage(int iconId);
    void fillDrives();
    void load();
    void save();
    int imageFor(const std::string& target);
    // `saved`: from Settings.ini, kept with a plain icon when the shell has none.
    bool addShortcut(int folder, const std::string& name, const std::string& target,
                     bool saved = false);
    LRESULT onBarNotice(WPARAM code, LPARAM data);
    void openShortcut(int item);

    void addFolder();
    void deleteFolder();
    void addFile();
    void addWebPage();
    void deleteShortcut();
    void rename();

    std::filesystem::path programFolder_;
    OutlookBarCtrl bar_;
    ScopedImageList small_;
    ScopedImageList large_;
    ScopedBitmap background_;
    std::vector<SavedFolder> beyond_;  // folders of the file the bar cannot show
    bool loaded_ = false;
    bool drivesListed_ = false;
};

}  // namespace tarnix
