#pragma once
// What every window object of the program shares, made from a dialog template or from a
// class of its own: the window it stands for, typed handlers for the messages both kinds
// get, UI tasks, and the rule that no exception leaves a handler for the system's code.
// Dialog and Window build on it and add what only they have.
//
// Threads: a window object belongs to the thread that made its window. Other threads reach
// it only through post().

#include <windows.h>

#include <commctrl.h>

#include <functional>

namespace tarnix {

class WindowObject {
  public:
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Any thread: runs `task` on this window's thread, or drops it when the window is gone.
    bool post(std::function<void()> task) const;

  protected:
    WindowObject() = default;
    virtual ~WindowObject() = default;

    // A WM_COMMAND; true when handled.
    virtual bool onCommand(int id, int code, HWND control) { return false; }
    // A WM_NOTIFY from control `id`; true when handled, with `result` for the sender.
    virtual bool onNotify(int id, NMHDR& header, LRESULT& result) { return false; }
    virtual void onTimer(UINT_PTR id) {}
    virtual void onSize(UINT type, int width, int height) {}
    // WM_CONTEXTMENU; `screen` is (-1, -1) when it came from the keyboard.
    virtual bool onContextMenu(HWND from, POINT screen) { return false; }
    // WM_ERASEBKGND: true when the background is painted.
    virtual bool onEraseBackground(HDC dc) { return false; }
    // WM_CTLCOLORSTATIC, WM_CTLCOLORDLG and the like: the brush to paint `control` with, or
    // null for the system's.
    virtual HBRUSH onControlColour(HDC dc, HWND control, UINT msg) { return nullptr; }
    virtual void onDestroy() {}
    // Every message, before its typed handler; true when handled, with `result` for the
    // sender. For helpers that watch a window's messages (skins, docking) and for the
    // window's own messages.
    virtual bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return false;
    }

    // A posted task, onMessage(), then the typed handlers; true when handled, with `result`.
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The typed handlers of the messages every window gets; a kind of window adds its own
    // in front and falls back on these.
    virtual bool dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The window procedure's call into its object: an exception must not unwind through the
    // system's code, which cannot pass it on, so it ends here with `fallback`.
    template <class Handle, class Result>
    static Result guarded(Handle&& handle, Result fallback) noexcept {
        try {
            return handle();
        } catch (...) {
            return fallback;
        }
    }

    // Links the object to its window as the window is made.
    void attachWindow(HWND window) { hwnd_ = window; }
    // As the window ends: its waiting tasks are dropped and the object stands for no window.
    void detachWindow();

  private:
    HWND hwnd_ = nullptr;
};

}  // namespace tarnix
