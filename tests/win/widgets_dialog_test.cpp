// The dialog base: data exchange in both directions with GB2312 fields, the modal loop and
// its pre-dispatch hook.
#include <gtest/gtest.h>

#include "resource.h"
#include "store/CodePage.h"
#include "widgets/win/Dialog.h"

using namespace tarnix;

namespace {

class StatusDialog : public Dialog {
  public:
    StatusDialog() : Dialog(IDD_MAIN) {}
    std::string status;
    int escapesSeen = 0;
    int commandToEnd = 0;

  protected:
    void exchange(DataExchange& dx) override { dx.text(IDC_STATUS_LINE, status); }
    BOOL onInitDialog() override {
        if (commandToEnd) {
            PostMessageW(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(hwnd(), WM_COMMAND, commandToEnd, 0);
        }
        return TRUE;
    }
    bool onCommand(int id, int, HWND) override {
        if (id == commandToEnd) {
            end(7);
            return true;
        }
        return id == IDCANCEL;  // Escape must not get this far
    }
    bool preTranslate(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            ++escapesSeen;
            return true;
        }
        return false;
    }
};

TEST(DialogBase, ExchangesGb2312FieldsWithControls) {
    StatusDialog dialog;
    ASSERT_NE(dialog.create(nullptr), nullptr);
    dialog.pull();
    EXPECT_EQ(dialog.status, utf8ToGb("欢迎使用澄远宽带拨号客户端"));

    dialog.status = utf8ToGb("已经成功地建立了连接");
    dialog.push();
    EXPECT_EQ(dialog.itemText(IDC_STATUS_LINE), L"已经成功地建立了连接");
}

TEST(DialogBase, ModalLoopShowsKeysFirstAndReturnsTheEndValue) {
    StatusDialog dialog;
    dialog.commandToEnd = 4242;
    EXPECT_EQ(dialog.runModal(nullptr), 7);
    EXPECT_EQ(dialog.escapesSeen, 1);
    EXPECT_EQ(dialog.hwnd(), nullptr) << "the window is gone after the loop";
}

TEST(DialogBase, ModalLoopEndsWhenTheWindowIsDestroyed) {
    class SelfDestroying : public Dialog {
      public:
        SelfDestroying() : Dialog(IDD_MAIN) {}

      protected:
        BOOL onInitDialog() override {
            PostMessageW(hwnd(), WM_APP, 0, 0);
            return TRUE;
        }
        bool onMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
            if (msg == WM_APP) DestroyWindow(hwnd());
            return msg == WM_APP;
        }
    } dialog;
    EXPECT_EQ(dialog.runModal(nullptr), 0);
}

}  // namespace
