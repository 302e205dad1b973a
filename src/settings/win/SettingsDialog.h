#pragma once
// "用户设置": the modal settings dialog. A tab host with the pages "运行设置", "升级设置",
// "关机设置" and "代理设置"; "应用" saves every page in the save order and stays open,
// "确定" saves when something changed and closes, "取消" closes without saving (what
// "应用" saved stays saved). A page's refusal keeps the dialog open.
//
// Threads: the dialog and its pages belong to the thread that runs it.

#include <filesystem>

#include "settings/SettingsDialogModel.h"
#include "settings/win/ProxyPage.h"
#include "settings/win/RunOptionsPage.h"
#include "settings/win/ScheduleUsagePage.h"
#include "settings/win/SettingsPageSlot.h"
#include "settings/win/ShutdownPage.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/TabHost.h"

namespace tarnix {

class SettingsDialog : public Dialog {
  public:
    // What the pages work with.
    struct Services {
        ConfigStore& config;
        Clock& clock;
        StartupRegistration& startup;
        ConnectionProxy& proxy;
        std::filesystem::path program;  // the program the Run value starts
        SettingsPageMaker updatePage = {};  // "升级设置"; an empty page without one
    };

    explicit SettingsDialog(Services services);
    ~SettingsDialog() override;

    const SettingsDialogModel& model() const { return model_; }
    // The window in the tab of page `id` (an empty page stands in for a missing one).
    Dialog& page(SettingsPageId id);

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;
    bool preTranslate(MSG& msg) override { return tabs_.handleKey(msg); }
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onOK() override;

  private:
    void showApplyState() const;

    SettingsDialogModel model_;
    TabHost tabs_;
    RunOptionsPage runOptions_;
    ShutdownPage shutdown_;
    ProxyPage proxy_;
    ScheduleUsagePage schedule_;
    OwnedSettingsPage update_;
    Dialog emptyPage_;  // in the update page's tab while there is none
};

}  // namespace tarnix
