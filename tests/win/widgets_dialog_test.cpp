// The dialog base: data exchange in both directions with GB2312 fields, the modal loop and
// its pre-dispatch hook.
#include <gtest/gtest.h>

#include "resource.h"
#include "base/CodePage.h"
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


// A dialog that frees itself when closed: its memory, once freed, is filled with another
// window's handle, so a write through a member after `delete this` lands on that window.
class SelfFreeingDialog : public Dialog {
  public:
    SelfFreeingDialog() : Dialog(IDD_MAIN) {}
    static HWND poison;
    static void operator delete(void* memory, std::size_t size) {
        auto* words = static_cast<HWND*>(memory);
        for (std::size_t i = 0; i < size / sizeof(HWND); ++i) words[i] = poison;
        // Left allocated on purpose: the test reads nothing back from it, and freed memory
        // could be reused before the stale write happens.
    }

  protected:
    void onCancel() override { end(0); }
};
HWND SelfFreeingDialog::poison = nullptr;

TEST(DialogBase, ASelfFreeingDialogTouchesNothingOfItselfAfterClosing) {
    // A message-only window with a dialog's extra bytes, which nothing else writes.
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.cbWndExtra = DLGWINDOWEXTRA;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"TarnixStaleWriteTarget";
    RegisterClassW(&type);
    HWND bystander = CreateWindowW(type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   type.hInstance, nullptr);
    ASSERT_NE(bystander, nullptr);
    SetWindowLongPtrW(bystander, DWLP_MSGRESULT, 12345);
    SelfFreeingDialog::poison = bystander;
    auto* dialog = new SelfFreeingDialog;
    HWND window = dialog->createModeless(nullptr, true);
    ASSERT_NE(window, nullptr);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetWindowLongPtrW(bystander, DWLP_MSGRESULT), 12345);
    DestroyWindow(bystander);
}

}  // namespace
