#pragma once
// The base of the program's own window classes, those not made from a dialog template (the
// outlook bar, the news window's view host): one object per window. It registers the class,
// links window and object from WM_NCCREATE on, turns messages into typed handlers (those
// every window object has, in WindowObject, and painting, the mouse and dropped files here)
// and leaves the rest to DefWindowProcW.
//
//   class Swatch : public Window {
//     protected:
//       void onPaint(HDC dc, const RECT& area) override { FillRect(dc, &area, brush_.get()); }
//   };
//   Swatch swatch;  swatch.create({L"TarnixSwatch"}, parent, IDC_SWATCH, area);
//
// The window ends with its parent or with its object, whichever goes first; the object
// outlives its window.

#include <windows.h>

#include <string>
#include <vector>

#include "widgets/win/WindowObject.h"

namespace tarnix {

// What a window class is registered with; every class has the arrow cursor.
struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    // Null when painting covers the whole window.
    HBRUSH background = nullptr;
};

class Window : public WindowObject {
  public:
    Window() = default;
    ~Window() override;

    // Registers `kind` (once) and makes the window over `area` of `parent`, with this
    // object behind it; null when it could not be made.
    HWND create(const WindowClass& kind, HWND parent, int id, const RECT& area,
                DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0);

  protected:
    // WM_PAINT, between BeginPaint and EndPaint; `area` is the part to paint.
    virtual void onPaint(HDC dc, const RECT& area) {}
    // The mouse, in client coordinates; true when handled. A double click is a press.
    virtual bool onMouseMove(POINT at) { return false; }
    virtual bool onLeftDown(POINT at) { return false; }
    virtual bool onLeftUp(POINT at) { return false; }
    virtual bool onRightUp(POINT at) { return false; }
    // WM_SETCURSOR over the client area: true when the cursor was set.
    virtual bool onSetCursor() { return false; }
    // WM_CAPTURECHANGED: `gainer` takes the mouse capture.
    virtual void onCaptureChanged(HWND gainer) {}
    // Files dropped from the shell (the window has WS_EX_ACCEPTFILES).
    virtual void onDropFiles(const std::vector<std::wstring>& paths) {}

    bool dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace tarnix
