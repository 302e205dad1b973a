#pragma once
// OutlookBarCtrl: the self-drawn outlook bar, a child window over an OutlookBarModel.
// It paints the model through OutlookBarLayout, turns mouse and keys into the model's
// changes, and sends the model's notices to its notification window as kNotifyMessage
// (wParam the code; lParam the index for codes 1 and 5, an OutlookNotifyRecord* for
// codes 2 to 4). The owner's return value is the answer.
//
// Presses (on a header, an item or a scroll arrow) capture the mouse and end on the
// button's release or on loss of capture, so the control never runs a loop of its own.
//
// One class in a file per concern: the window and the model's changes (OutlookBarCtrl.cpp),
// painting (OutlookBarPaint.cpp), the mouse (OutlookBarInput.cpp), the keyboard and screen
// readers (OutlookBarKeyboard.cpp), captions edited in place (OutlookBarEdit.cpp) and files
// dropped from the shell (OutlookBarDrop.cpp).

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "shortcuts/OutlookBarKeys.h"
#include "shortcuts/OutlookBarLayout.h"
#include "shortcuts/OutlookItemPress.h"
#include "shortcuts/OutlookBarModel.h"
#include "base/win/Scoped.h"
#include "widgets/win/Accessible.h"
#include "widgets/win/Window.h"

namespace tarnix {

// lParam of the notices that carry more than an index. `text` is GB2312.
struct OutlookNotifyRecord {
    int folder = -1;
    int index = -1;
    int target = -1;
    const char* text = "";
};

class OutlookBarCtrl : public Window, private AccessibleSource {
  public:
    static constexpr UINT kNotifyMessage = WM_USER + 10100;  // 0x2B74
    static constexpr UINT_PTR kScrollTimer = 2;
    static constexpr UINT kScrollPeriod = 300;
    static constexpr int kContextMenuId = 165;
    static constexpr int kHandCursorId = 166;
    static constexpr COLORREF kFaceColour = RGB(120, 174, 236);

    explicit OutlookBarCtrl(unsigned flags = kOutlookDefaultFlags);

    // A visible child of `parent` over `area`; the parent is the notification window
    // until setOwner() names another.
    bool create(HWND parent, int id, const RECT& area);
    void setOwner(HWND owner) { owner_ = owner; }

    // The image lists stay the owner's; both hold the same images.
    void setImageLists(HIMAGELIST small, HIMAGELIST large);

    OutlookBarModel& model() { return model_; }
    const OutlookBarModel& model() const { return model_; }

    // The model's changes that show: each redraws.
    int addFolder(const std::string& caption, std::intptr_t data = 0);
    bool removeFolder(int index);
    int insertItem(int folder, int index, OutlookItem item);
    bool removeItem(int index);
    // Opens a folder, sliding when the flags ask for it; notice 5 when it changed.
    void openFolder(int index);
    void setSmallIcons(bool small);
    // A period in milliseconds; 0 stops the tick.
    void setAnimationTick(int milliseconds);

    // The place of the last right click, for the context menu's commands.
    const OutlookHit& lastRightClick() const { return rightClick_; }
    // A right click at `point` without its menu: remembers the place and opens a folder
    // whose header it was on.
    const OutlookHit& rightClickAt(Point point);
    // Starts editing the caption under the last right click in place.
    void editCaptionUnderRightClick();
    // Starts editing a folder's or an item's caption in place; the edit window.
    HWND editFolderCaption(int folder);
    HWND editItemCaption(int item);

    // Called after files dropped from the shell were added (the owner saves).
    std::function<void()> onFilesDropped;
    // Adds the files to the open folder as a drop from the shell would; how many.
    int addDroppedFiles(const std::vector<std::wstring>& paths);

    // Where things are drawn now (tests and the owner's menus).
    OutlookBarLayout layout() const;
    // The header or item that has the keyboard's attention.
    OutlookFocus keyFocus() const { return focus_; }

  protected:
    // The window's messages.
    void onPaint(HDC dc, const RECT& area) override;
    bool onEraseBackground(HDC) override { return true; }  // painting covers everything
    void onSize(UINT type, int width, int height) override;
    bool onSetCursor() override;
    bool onMouseMove(POINT at) override;
    bool onLeftDown(POINT at) override;
    bool onLeftUp(POINT at) override;
    bool onRightUp(POINT at) override;
    void onCaptureChanged(HWND gainer) override;
    void onTimer(UINT_PTR id) override;
    bool onCommand(int id, int code, HWND control) override;
    void onDropFiles(const std::vector<std::wstring>& paths) override;
    void onDestroy() override;
    bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onContextMenu(HWND from, POINT screen) override;

  private:
    enum class Press { None, Header, Item, UpArrow, DownArrow };
    static constexpr UINT_PTR kTickTimer = 1;

    static RECT toRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
    static HFONT guiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

    std::intptr_t notify(const OutlookNotification& notification);
    OutlookMetrics metrics() const;
    BarSize measureCaption(HDC dc, const std::string& caption, bool small, int wrap) const;

    void paintHeader(HDC dc, const Rect& place, int folder, bool pressed, bool hot) const;
    void paintItems(HDC dc, const OutlookBarLayout& layout) const;
    void paintArrows(HDC dc, const OutlookBarLayout& layout) const;
    void paintSlide(const OutlookSlideFrame& frame);
    void redraw();

    void paintFocus(HDC dc) const;

    bool onKey(WPARAM key);
    void setFocusPart(OutlookFocus focus);
    void scrollIntoView(int item);
    void pressFocused();
    Rect focusRect() const;
    // The context menu over the part at `point` (client coordinates).
    void showMenuAt(Point point);

    AccessiblePart describe(int child) const override;
    int partCount() const override;
    int focusedPart() const override;
    bool doDefaultAction(int child) override;

    void endPress();
    void scrollBy(int items);
    bool onPressedArrow() const;
    void updateCursor() const;

    static LRESULT CALLBACK editorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    HWND startEditor(const Rect& box, DWORD style, const std::string& text);
    void finishEditing();

    OutlookBarModel model_;
    HWND owner_ = nullptr;
    HIMAGELIST small_ = nullptr;
    HIMAGELIST large_ = nullptr;

    int hotHeader_ = -1;
    int hotItem_ = -1;
    Press press_ = Press::None;
    int pressedHeader_ = -1;
    bool headerDown_ = false;  // the pressed header is drawn down (the mouse is on it)
    OutlookItemPress itemPress_{-1, false};
    OutlookPressView pressView_;
    Point lastPoint_;
    OutlookHit rightClick_;

    ScopedWindow editor_;  // while a caption is edited
    OutlookHit editing_;  // the folder or item whose caption is edited
    bool editCancelled_ = false;

    HCURSOR hand_ = nullptr;
    OutlookFocus focus_;
    AccessibleHook accessible_;
};

}  // namespace tarnix
