// The outlook bar driven as a user would: synthetic mouse and key messages to the control,
// its notices seen by an owner window that answers them.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "../support/Accessibility.h"
#include "../support/PixelSnapshot.h"
#include "../support/WindowPump.h"
#include "shortcuts/win/OutlookBarCtrl.h"
#include "shortcuts/win/OutlookContextMenu.h"
#include "shortcuts_ids.h"
#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;
using testing::pumpPending;

struct Notice {
    WPARAM code;
    int index;
    int target;
    std::string text;
};

// A top-level window that owns the control and records its notices.
class Owner {
  public:
    Owner() {
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TarnixOutlookOwner";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"TarnixOutlookOwner", L"", WS_POPUP, 0, 0, 160,
                               300, nullptr, nullptr, GetModuleHandleW(nullptr), this);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    ~Owner() { DestroyWindow(hwnd); }

    HWND hwnd;
    std::vector<Notice> notices;
    LRESULT answer = 1;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == OutlookBarCtrl::kNotifyMessage) {
            Notice notice{wParam, static_cast<int>(lParam), -1, {}};
            if (wParam >= 2 && wParam <= 4) {
                const auto* record = reinterpret_cast<const OutlookNotifyRecord*>(lParam);
                notice = {wParam, record->index, record->target, record->text};
            }
            self->notices.push_back(notice);
            return self->answer;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

LPARAM at(Point p) {
    return MAKELPARAM(p.x, p.y);
}
Point centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class OutlookBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        small_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
        large_.reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 4));
        ASSERT_TRUE(bar_.create(owner_.hwnd, 2008, {0, 0, 160, 300}));
        bar_.setImageLists(small_.get(), large_.get());
        bar_.addFolder("drives");
        bar_.addFolder("common");
        bar_.addFolder("mine");
        bar_.openFolder(1);
        for (const char* name : {"one", "two", "three"}) {
            bar_.insertItem(1, -1, {0, 0, name, 0, std::string("C:\\") + name + ".exe", "", ""});
        }
        owner_.notices.clear();
    }

    void send(UINT msg, Point p) {
        SendMessageW(bar_.hwnd(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at(p));
    }
    void click(Point p) {
        send(WM_LBUTTONDOWN, p);
        send(WM_LBUTTONUP, p);
    }
    Point itemCentre(int index) { return centre(bar_.layout().itemPlace(index).icon); }
    std::vector<std::string> captions() {
        std::vector<std::string> all;
        for (int i = 0; i < bar_.model().itemCount(); ++i)
            all.push_back(bar_.model().itemCaption(i));
        return all;
    }
    void drag(int from, Point to) {
        send(WM_LBUTTONDOWN, itemCentre(from));
        send(WM_MOUSEMOVE, {itemCentre(from).x, itemCentre(from).y - 30});  // off the item
        send(WM_MOUSEMOVE, to);
        send(WM_LBUTTONUP, to);
    }

    Owner owner_;
    ScopedImageList small_, large_;
    OutlookBarCtrl bar_;
};

TEST_F(OutlookBarTest, HeaderClickOpensTheFolderOnceAndTellsTheOwner) {
    // Folder 1 open: header 2 sits at the bottom edge.
    EXPECT_EQ(bar_.layout().header(2).bottom, 300);
    click(centre(bar_.layout().header(2)));
    EXPECT_EQ(bar_.model().openFolder(), 2);
    ASSERT_EQ(owner_.notices.size(), 1u);
    EXPECT_EQ(owner_.notices[0].code, 5u);
    EXPECT_EQ(owner_.notices[0].index, 2);
    EXPECT_EQ(GetCapture(), nullptr);

    // The open folder again, and a press released elsewhere: nothing more.
    click(centre(bar_.layout().header(2)));
    send(WM_LBUTTONDOWN, centre(bar_.layout().header(0)));
    send(WM_LBUTTONUP, {80, 150});
    EXPECT_EQ(bar_.model().openFolder(), 2);
    EXPECT_EQ(owner_.notices.size(), 1u);
}

TEST_F(OutlookBarTest, ItemClickSelectsTheItemAndTellsTheOwner) {
    click(itemCentre(1));
    ASSERT_EQ(owner_.notices.size(), 1u);
    EXPECT_EQ(owner_.notices[0].code, 1u);
    EXPECT_EQ(owner_.notices[0].index, 1);
    EXPECT_EQ(bar_.model().selectedItem(), 1);
    pumpPending();  // paints with the pressed and selected frames
}

TEST_F(OutlookBarTest, DragMovesOnlyWhenTheOwnerAgrees) {
    owner_.answer = 0;
    drag(0, itemCentre(2));
    ASSERT_EQ(owner_.notices.size(), 1u);
    EXPECT_EQ(owner_.notices[0].code, 4u);
    EXPECT_EQ(owner_.notices[0].index, 0);
    EXPECT_EQ(owner_.notices[0].target, 2);
    EXPECT_EQ(captions(), (std::vector<std::string>{"one", "two", "three"}));

    owner_.answer = 1;
    drag(0, itemCentre(2));
    EXPECT_EQ(captions(), (std::vector<std::string>{"two", "one", "three"}));
    // Below the last item: to the end.
    drag(0, {80, bar_.layout().itemPlace(2).item.bottom + 40});
    EXPECT_EQ(captions(), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(OutlookBarTest, CaptionEditingReportsOnlyARealChange) {
    HWND edit = bar_.editItemCaption(1);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"renamed");
    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    pumpPending();
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(bar_.model().itemCaption(1), "two");
    EXPECT_TRUE(owner_.notices.empty());

    edit = bar_.editItemCaption(1);
    SetWindowTextW(edit, L"");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    pumpPending();
    EXPECT_EQ(bar_.model().itemCaption(1), "two");
    EXPECT_TRUE(owner_.notices.empty());

    edit = bar_.editFolderCaption(2);
    SetWindowTextW(edit, L"\x6211\x7684");  // 我的
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    pumpPending();
    ASSERT_EQ(owner_.notices.size(), 1u);
    EXPECT_EQ(owner_.notices[0].code, 3u);
    EXPECT_EQ(owner_.notices[0].text, "\xce\xd2\xb5\xc4");
    EXPECT_EQ(bar_.model().folderCaption(2), "\xce\xd2\xb5\xc4");
}

TEST_F(OutlookBarTest, ArrowsScrollWhenTheItemsDoNotFit) {
    for (int i = 0; i < 30; ++i) bar_.insertItem(1, -1, {0, 0, "more", 0, "C:\\more.exe", "", ""});
    OutlookBarLayout place = bar_.layout();
    ASSERT_TRUE(place.downArrowShown());
    EXPECT_FALSE(place.upArrowShown());

    click(centre(place.downArrow()));
    click(centre(place.downArrow()));
    EXPECT_EQ(bar_.model().firstVisible(), 2);
    ASSERT_TRUE(bar_.layout().upArrowShown());
    click(centre(bar_.layout().upArrow()));
    EXPECT_EQ(bar_.model().firstVisible(), 1);

    // Held down, the timer keeps scrolling while the mouse stays on the arrow.
    send(WM_LBUTTONDOWN, centre(place.downArrow()));
    SendMessageW(bar_.hwnd(), WM_TIMER, OutlookBarCtrl::kScrollTimer, 0);
    SendMessageW(bar_.hwnd(), WM_TIMER, OutlookBarCtrl::kScrollTimer, 0);
    send(WM_LBUTTONUP, {0, 150});  // released off the arrow: no extra step
    EXPECT_EQ(bar_.model().firstVisible(), 3);
    EXPECT_TRUE(owner_.notices.empty());
}

// Without a mouse: the arrows walk headers and items as drawn, scrolling an item into view,
// Enter opens a folder or starts an item; screen readers hear each folder and shortcut.
TEST_F(OutlookBarTest, KeysWalkAndPressFoldersAndItemsAndReadersHearThem) {
    for (int i = 0; i < 30; ++i) bar_.insertItem(1, -1, {0, 0, "more", 0, "C:\\more.exe", "", ""});
    const LRESULT wants = SendMessageW(bar_.hwnd(), WM_GETDLGCODE, 0, 0);
    EXPECT_TRUE(wants & DLGC_WANTARROWS);
    EXPECT_TRUE(GetWindowLongW(bar_.hwnd(), GWL_STYLE) & WS_TABSTOP);
    auto key = [&](WPARAM k) { SendMessageW(bar_.hwnd(), WM_KEYDOWN, k, 0); };

    key(VK_DOWN);
    EXPECT_EQ(bar_.keyFocus(), (OutlookFocus{OutlookFocus::Header, 1}));
    key(VK_DOWN);
    EXPECT_EQ(bar_.keyFocus(), (OutlookFocus{OutlookFocus::Item, 0}));
    key(VK_RETURN);
    ASSERT_EQ(owner_.notices.size(), 1u);
    EXPECT_EQ(owner_.notices[0].code, 1u) << "the item was started";
    EXPECT_EQ(owner_.notices[0].index, 0);
    for (int i = 0; i < 32; ++i) key(VK_DOWN);
    EXPECT_EQ(bar_.keyFocus(), (OutlookFocus{OutlookFocus::Item, 32}));
    EXPECT_GT(bar_.model().firstVisible(), 0) << "scrolled to the last item";
    const std::vector<int> shown = bar_.layout().shownItems();
    EXPECT_NE(std::find(shown.begin(), shown.end(), 32), shown.end());
    key(VK_END);
    key(VK_SPACE);
    EXPECT_EQ(bar_.model().openFolder(), 2) << "the last header opened its folder";
    key(VK_HOME);
    EXPECT_EQ(bar_.keyFocus(), (OutlookFocus{OutlookFocus::Header, 0}));

    using testing::hear;
    bar_.openFolder(1);
    EXPECT_EQ(hear(bar_.hwnd()).role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(hear(bar_.hwnd()).children, 3 + 33);
    EXPECT_EQ(hear(bar_.hwnd(), 2).name, L"common");
    EXPECT_EQ(hear(bar_.hwnd(), 2).role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_TRUE(hear(bar_.hwnd(), 2).state & STATE_SYSTEM_EXPANDED);
    EXPECT_EQ(hear(bar_.hwnd(), 4).name, L"one");
    EXPECT_EQ(hear(bar_.hwnd(), 4).role, ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(hear(bar_.hwnd(), 4).description, L"C:\\one.exe");
    EXPECT_TRUE(hear(bar_.hwnd(), 3 + 33).state & STATE_SYSTEM_OFFSCREEN) << "scrolled out of view";
}

// The files as a shell drop carries them.
HGLOBAL dropOf(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& p : paths) list += p + L'\0';
    list += L'\0';
    const SIZE_T size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(),
           list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

TEST_F(OutlookBarTest, DroppedShortcutAddsItsProgramUnderTheShortcutsName) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path link = fs::temp_directory_path() / L"Tarnix Tool.lnk";
    {
        ComScope com;
        ComPtr<IShellLinkW> shellLink;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkW, shellLink.putVoid())));
        shellLink->SetPath(self);
        auto file = shellLink.query<IPersistFile>(IID_IPersistFile);
        ASSERT_TRUE(file && SUCCEEDED(file->Save(link.c_str(), TRUE)));
    }
    int saved = 0;
    bar_.onFilesDropped = [&] { ++saved; };

    bar_.openFolder(0);  // the drives take no files
    SendMessageW(bar_.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf({link.wstring()})), 0);
    EXPECT_EQ(bar_.model().itemCount(), 0);

    bar_.openFolder(1);
    const std::wstring tooLong = L"C:\\" + std::wstring(1000, L'x') + L".exe";
    SendMessageW(bar_.hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({link.wstring(), tooLong})), 0);
    ASSERT_EQ(bar_.model().itemCount(), 4);
    EXPECT_EQ(bar_.model().itemCaption(3), "Tarnix Tool");
    EXPECT_EQ(_stricmp(bar_.model().itemTarget(3).c_str(), wideToGb(self).c_str()), 0);
    EXPECT_EQ(saved, 1);
    fs::remove(link);
}

// The context menu draws itself: the menus' blue, the icon column, the entry under the
// mouse in the bar's blue, and greyed entries that never light up.
TEST_F(OutlookBarTest, ContextMenuIsOwnerDrawnAndGreysWhatDoesNotApply) {
    const auto menu = makeOwnerDrawnOutlookMenu(OutlookMenuState(OutlookHit::Item, 1, true));
    HMENU handle = menu->handle();
    ASSERT_NE(handle, nullptr);
    ULONG_PTR renameData = 0, addFolderData = 0;
    for (int i = 0; i < GetMenuItemCount(handle); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoW(handle, i, TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        if (info.fType & MFT_SEPARATOR) continue;
        const bool enabled = info.wID == ID_OUTLOOK_DELETE_FILE || info.wID == ID_OUTLOOK_RENAME;
        EXPECT_EQ((info.fState & MFS_GRAYED) == 0, enabled) << info.wID;
        if (info.wID == ID_OUTLOOK_RENAME) renameData = info.dwItemData;
        if (info.wID == ID_OUTLOOK_ADD_FOLDER) addFolderData = info.dwItemData;
    }

    MEASUREITEMSTRUCT measure{ODT_MENU, 0, ID_OUTLOOK_RENAME, 0, 0, renameData};
    ASSERT_TRUE(menu->handleMessage(WM_MEASUREITEM, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_GT(measure.itemWidth, static_cast<UINT>(OwnerDrawnMenu::kIconColumnWidth + 20));
    EXPECT_GE(measure.itemHeight, 20u);
    MEASUREITEMSTRUCT control{ODT_BUTTON, 1, 0, 0, 0, renameData};
    EXPECT_FALSE(menu->handleMessage(WM_MEASUREITEM, reinterpret_cast<LPARAM>(&control)));

    auto drawn = [&](ULONG_PTR data, UINT state) {
        return testing::snapshotOf(200, 24, [&](HDC dc) {
            DRAWITEMSTRUCT item{ODT_MENU, 0, 0, ODA_DRAWENTIRE, state, nullptr, dc, {0, 0, 200, 24},
                                data};
            menu->handleMessage(WM_DRAWITEM, reinterpret_cast<LPARAM>(&item));
        });
    };
    const auto lit = drawn(renameData, ODS_SELECTED);
    EXPECT_EQ(lit.at(190, 12), OwnerDrawnMenu::kSelected);
    EXPECT_EQ(lit.at(1, 1), OwnerDrawnMenu::kSelectedFrame);
    const auto greyed = drawn(addFolderData, ODS_SELECTED | ODS_GRAYED);
    EXPECT_EQ(greyed.at(190, 12), OwnerDrawnMenu::kBackground);
    EXPECT_EQ(greyed.at(1, 12), OwnerDrawnMenu::kIconColumn);
    EXPECT_GT(greyed.count([](COLORREF c) { return c == GetSysColor(COLOR_GRAYTEXT); }), 0)
        << "the text in grey";

    // A right click opens it over the bar (a picture for the README when asked); closed
    // without a choice, no command goes to the parent.
    static HWND shownMenu;
    static RECT shownArea;
    shownMenu = nullptr;
    shownArea = {};
    GetWindowRect(owner_.hwnd, &shownArea);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        static int ticks = 0;
        if (++ticks > 100) EndMenu();  // never seen: the test fails, it does not hang
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup || !IsWindowVisible(popup)) return;
        if (!shownMenu) {  // seen: painted by the next tick
            shownMenu = popup;
            return;
        }
        RECT r;
        GetWindowRect(popup, &r);
        UnionRect(&shownArea, &shownArea, &r);
        testing::saveScreenArea(shownArea, "outlook-context-menu");
        EndMenu();
    });
    SendMessageW(bar_.hwnd(), WM_RBUTTONUP, 0, at(itemCentre(1)));
    KillTimer(nullptr, timer);
    EXPECT_NE(shownMenu, nullptr);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, owner_.hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

}  // namespace
}  // namespace tarnix
