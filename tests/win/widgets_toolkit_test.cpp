// The window toolkit: the dialog base's and the window base's typed handlers, modeless
// dialogs, the one way onto a window's thread, the scoped handles and the control wrappers.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "../support/WindowPump.h"
#include "resource.h"
#include "test_resource.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"
#include "widgets/win/Pickers.h"
#include "widgets/win/ProgressBar.h"
#include "widgets/win/RichEdit.h"
#include "base/win/Scoped.h"
#include "widgets/win/TabHost.h"
#include "widgets/win/UiTask.h"
#include "widgets/win/Window.h"

namespace tarnix {
namespace {

using testing::pumpPending;
using testing::pumpUntil;

// Notes which typed handler each message reached.
class ProbeDialog : public Dialog {
  public:
    ProbeDialog() : Dialog(IDD_TOOLKIT_PROBE) {}
    ~ProbeDialog() override {
        if (deleted) *deleted = true;
    }
    std::vector<std::string> seen;
    bool* deleted = nullptr;
    bool throwOnCommand = false;

  protected:
    bool onCommand(int id, int, HWND) override {
        if (throwOnCommand) throw std::runtime_error("a handler's fault");
        if (id == IDC_PROBE_EDIT) return false;  // its focus notices
        seen.push_back("command " + std::to_string(id));
        return id == IDC_PROBE_BUTTON;
    }
    bool onNotify(int id, NMHDR& header, LRESULT& result) override {
        seen.push_back("notify " + std::to_string(id));
        result = 42;
        return true;
    }
    void onTimer(UINT_PTR id) override { seen.push_back("timer " + std::to_string(id)); }
    bool onContextMenu(HWND, POINT at) override {
        seen.push_back("menu " + std::to_string(at.x) + "," + std::to_string(at.y));
        return true;
    }
};

TEST(DialogToolkit, MessagesReachTheirTypedHandlers) {
    ProbeDialog dialog;
    ASSERT_NE(dialog.createModeless(nullptr), nullptr);
    HWND w = dialog.hwnd();
    SendMessageW(w, WM_COMMAND, MAKEWPARAM(IDC_PROBE_BUTTON, BN_CLICKED), 0);
    NMHDR header{dialog.item(IDC_PROBE_EDIT), IDC_PROBE_EDIT, NM_CLICK};
    SendMessageW(w, WM_NOTIFY, IDC_PROBE_EDIT, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(GetWindowLongPtrW(w, DWLP_MSGRESULT), 42) << "the notify result reaches the sender";
    SendMessageW(w, WM_TIMER, 7, 0);
    SendMessageW(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(30, 40));
    EXPECT_EQ(dialog.seen, (std::vector<std::string>{"command 9207", "notify 9206", "timer 7",
                                                     "menu 30,40"}));
}

TEST(DialogToolkit, AnExceptionInAHandlerNeverReachesTheSystem) {
    ProbeDialog dialog;
    ASSERT_NE(dialog.createModeless(nullptr), nullptr);
    dialog.throwOnCommand = true;
    SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PROBE_BUTTON, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(dialog.hwnd())) << "the dialog goes on";
}

TEST(DialogToolkit, ModelessDialogsCloseOnCancelAndTheLoopReachesEachOfThem) {
    bool firstDeleted = false;
    auto* first = new ProbeDialog;
    first->deleted = &firstDeleted;
    ProbeDialog second;
    ASSERT_NE(first->createModeless(nullptr, true), nullptr);
    ASSERT_NE(second.createModeless(nullptr), nullptr);

    // The dialog-key handling of any loop serves both, and nothing else.
    MSG tab{first->item(IDC_PROBE_EDIT), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(Dialog::routeToModeless(tab));
    MSG toSecond{second.item(IDC_PROBE_BUTTON), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(Dialog::routeToModeless(toSecond));
    MSG elsewhere{GetDesktopWindow(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(Dialog::routeToModeless(elsewhere));

    SendMessageW(first->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(firstDeleted) << "a dialog made to free itself is gone with its window";
    EXPECT_TRUE(IsWindow(second.hwnd()));
    SendMessageW(second.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(second.hwnd(), nullptr) << "the close box ends a modeless dialog";
}

TEST(DialogToolkit, PostedTasksRunOnTheWindowsThreadInOrderOrAreDropped) {
    ProbeDialog dialog;
    ASSERT_NE(dialog.createModeless(nullptr), nullptr);
    const DWORD uiThread = GetCurrentThreadId();
    std::vector<int> order;
    std::atomic<int> wrongThread{0};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            dialog.post([&, i] {
                if (GetCurrentThreadId() != uiThread) ++wrongThread;
                order.push_back(i);
            });
    });
    worker.join();
    ASSERT_TRUE(pumpUntil([&] { return order.size() == 100; }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(wrongThread.load(), 0);

    // Tasks still waiting when the window goes are dropped, and what they hold is freed.
    auto held = std::make_shared<int>(1);
    bool ran = false;
    ASSERT_TRUE(dialog.post([held, &ran] { ran = true; }));
    HWND gone = dialog.hwnd();
    DestroyWindow(gone);
    pumpPending();
    EXPECT_FALSE(ran);
    EXPECT_EQ(held.use_count(), 1);
    EXPECT_FALSE(postUiTask(gone, [] {})) << "a window that is gone takes no task";
}

// Notes which typed handler each message of a window of its own reached.
class ProbeWindow : public Window {
  public:
    std::vector<std::string> seen;
    bool throwOnMouse = false;

  protected:
    bool onLeftDown(POINT at) override {
        if (throwOnMouse) throw std::runtime_error("a handler's fault");
        seen.push_back("down " + std::to_string(at.x) + "," + std::to_string(at.y));
        return true;
    }
    void onTimer(UINT_PTR id) override { seen.push_back("timer " + std::to_string(id)); }
    bool onCommand(int id, int, HWND) override {
        seen.push_back("command " + std::to_string(id));
        return true;
    }
};

TEST(WindowToolkit, MessagesReachTheirHandlersAndTheWindowEndsWithItsObject) {
    const WindowClass kind{L"TarnixProbeWindow"};
    auto probe = std::make_unique<ProbeWindow>();
    ASSERT_NE(probe->create(kind, nullptr, 0, {0, 0, 50, 50}, WS_POPUP), nullptr);
    ProbeWindow second;
    EXPECT_NE(second.create(kind, nullptr, 0, {0, 0, 50, 50}, WS_POPUP), nullptr)
        << "a class registered once makes any number of windows";

    HWND w = probe->hwnd();
    SendMessageW(w, WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 4));
    SendMessageW(w, WM_TIMER, 5, 0);
    SendMessageW(w, WM_COMMAND, MAKEWPARAM(6, 0), 0);
    bool ran = false;
    ASSERT_TRUE(probe->post([&] { ran = true; }));
    EXPECT_TRUE(pumpUntil([&] { return ran; }));
    EXPECT_EQ(probe->seen, (std::vector<std::string>{"down 3,4", "timer 5", "command 6"}));

    probe->throwOnMouse = true;
    SendMessageW(w, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(IsWindow(w)) << "an exception in a handler ends in the window procedure";

    probe.reset();
    EXPECT_FALSE(IsWindow(w)) << "the object takes its window with it";
    HWND other = second.hwnd();
    DestroyWindow(other);
    EXPECT_EQ(second.hwnd(), nullptr) << "a window destroyed first leaves its object empty";
}

TEST(ScopedHandles, FreeOnceAndMoveOwnership) {
    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    {
        ScopedBrush brush(raw);
        ScopedBrush moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_EQ(moved.get(), raw);
        EXPECT_NE(GetObjectType(raw), 0u);
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "freed when its owner went";

    ScopedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE released = event.release();
    EXPECT_FALSE(event);
    EXPECT_NE(WaitForSingleObject(released, 0), WAIT_FAILED) << "release gives up, not frees";
    CloseHandle(released);

    MemoryDC dc(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(dc.get(), 4, 4));
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
    {
        SelectGuard selected(dc.get(), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), original) << "the guard puts it back";
}

TEST(ScopedHandles, OutParametersAndFailedCallsLeaveNothingToFree) {
    ScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\NoSuchKeyHere", 0, KEY_READ, key.put()),
              ERROR_SUCCESS);
    EXPECT_FALSE(key) << "the key held before was given up for the call";

    const ScopedFile missing(CreateFileW(L"C:\\no-such-folder\\no-such-file", GENERIC_READ, 0,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing) << "INVALID_HANDLE_VALUE is a file's empty value, not a handle";
}

class ControlWrappers : public ::testing::Test {
  protected:
    void SetUp() override {
        RichEdit::loadRichEdit();
        ASSERT_NE(dialog_.createModeless(nullptr), nullptr);
    }
    ProbeDialog dialog_;
};

TEST_F(ControlWrappers, PickersProgressAndRichEditHoldWhatTheyAreGiven) {
    DateTimePicker picker(dialog_.hwnd(), IDC_PROBE_PICKER);
    SYSTEMTIME day{2026, 12, 1, 7, 0, 0, 0, 0};
    picker.setTime(day);
    ASSERT_TRUE(picker.time());
    EXPECT_EQ(picker.time()->wYear, 2026);
    EXPECT_EQ(picker.time()->wDay, 7);

    IpAddressControl address(dialog_.hwnd(), IDC_PROBE_ADDRESS);
    EXPECT_FALSE(address.address()) << "blank fields are no address";
    address.setAddress({192, 168, 1, 254});
    EXPECT_EQ(address.address(), (std::array<std::uint8_t, 4>{192, 168, 1, 254}));
    address.clear();
    EXPECT_TRUE(address.blank());

    ProgressBar progress(dialog_.hwnd(), IDC_PROBE_PROGRESS);
    progress.setRange(0, 10);
    progress.setStep(3);
    progress.step();
    progress.step();
    EXPECT_EQ(progress.position(), 6);

    RichEdit rich(dialog_.hwnd(), IDC_PROBE_RICH);
    ASSERT_TRUE(rich);
    rich.append(L"标题", true);
    rich.append(L"：正文");
    EXPECT_EQ(rich.text(), L"标题：正文");
}

TEST_F(ControlWrappers, AVirtualListAsksForTheCellsItShows) {
    ListView list(dialog_.hwnd(), IDC_PROBE_VIRTUAL);
    list.useReportLook();
    list.addColumn(L"序号", 60);
    list.addColumn(L"内容", 120);
    EXPECT_EQ(list.columnCount(), 2);
    list.setVirtualRowCount(200000);
    EXPECT_EQ(list.rowCount(), 200000);

    // The owner's answer, as a dialog gives it from onNotify.
    NMLVDISPINFOW info{};
    wchar_t buffer[8];
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = 199999;
    info.item.iSubItem = 1;
    info.item.pszText = buffer;
    info.item.cchTextMax = 8;
    ListView::answerCell(info.hdr, [](int row, int column) {
        return L"行" + std::to_wstring(row) + L"列" + std::to_wstring(column);
    });
    EXPECT_STREQ(buffer, L"行199999") << "cut to the buffer, never past it";
}

TEST(TabHostPages, ASeventeenthPageIsRefusedAndSelectionsOutOfRangeAreIgnored) {
    ProbeDialog owner;
    ASSERT_NE(owner.createModeless(nullptr), nullptr);
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                owner.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    std::vector<std::unique_ptr<Dialog>> pages;
    TabHost host;
    for (int i = 0; i < 16; ++i) {
        pages.push_back(std::make_unique<Dialog>(IDD_SAMPLE_PAGE_TWO));
        EXPECT_TRUE(host.addPage(L"页" + std::to_wstring(i), *pages.back()));
    }
    Dialog extra(IDD_SAMPLE_PAGE_TWO);
    EXPECT_FALSE(host.addPage(L"多余", extra));
    host.create(tabs);
    EXPECT_EQ(TabCtrl_GetItemCount(tabs), 16);
    EXPECT_EQ(extra.hwnd(), nullptr);

    host.select(3);
    EXPECT_EQ(host.selected(), 3);
    EXPECT_TRUE(IsWindowVisible(host.page(3).hwnd()));
    EXPECT_FALSE(IsWindowVisible(host.page(0).hwnd()));
    for (int outside : {-1, 16, 99}) host.select(outside);
    EXPECT_EQ(host.selected(), 3);
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 3);

    // Each page stands below the tab row, inside the control.
    RECT first, page;
    TabCtrl_GetItemRect(tabs, 0, &first);
    GetWindowRect(host.page(3).hwnd(), &page);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.top, first.bottom + 1);
    EXPECT_EQ(page.left, first.left);
}

}  // namespace
}  // namespace tarnix
