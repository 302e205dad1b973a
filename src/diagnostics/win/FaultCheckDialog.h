#pragma once
// "宽带故障检测": the summary view (the stages of the local machine and of the provider's
// side, the verdict and the bar) or the details view (four lists on tabs), with "开始",
// "停止", "配置" and "退出".
//
// Threads: the machine is read on a worker thread, which hands its snapshot back with
// postUiTask; the window judges it, shows it and tells the check's messages on its own
// thread, so the window never waits for the system's queries. "停止" and closing drop a
// reading still under way; the window's end waits for the reader to finish.

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "base/win/Scoped.h"
#include "base/WorkerThreads.h"
#include "diagnostics/FaultCheckForm.h"
#include "diagnostics/NetworkInventory.h"
#include "diagnostics/win/DetailListPage.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/TabHost.h"

namespace tarnix {

class FaultCheckDialog : public Dialog {
  public:
    // Gives the inventory to read, on the reader's thread, once a check.
    using InventorySource = std::function<std::unique_ptr<NetworkInventory>()>;

    explicit FaultCheckDialog(InventorySource source);
    ~FaultCheckDialog() override;

    const FaultCheckForm& form() const { return form_; }
    TabHost& tabs() { return tabHost_; }
    DetailListPage& page(DetailList which) { return pages_[static_cast<std::size_t>(which)]; }

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;
    bool preTranslate(MSG& msg) override { return tabHost_.handleKey(msg); }
    void onTimer(UINT_PTR id) override;
    void onOK() override {}  // Enter presses "开始", the default button
    void onDestroy() override;

  private:
    void start();
    void stop();
    void detailsClicked();
    void read(unsigned number);
    void arrived(unsigned number, InventorySnapshot snapshot);
    void showVerdict();
    void showLists();
    void showView();
    void showButtons();
    void loadStageIcons();
    void nameStages();

    InventorySource source_;
    FaultCheckForm form_;
    std::array<DetailListPage, 4> pages_;
    TabHost tabHost_;
    std::vector<ScopedIcon> stageIcons_;  // the stages' icons at the size they are shown
    ScopedBitmap banner_;                 // the band's art, shown by its control
    std::array<AccessibleSingle, 10> stageNames_;  // what screen readers hear of them
    WorkerThreads readers_;               // last: joined before anything it might reach goes
};

}  // namespace tarnix
