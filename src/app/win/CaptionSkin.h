#pragma once
// The main window's own caption: the product's blue bar with the icon, the title in white
// and two bitmap buttons (close and minimise) that light up under the mouse. The window
// keeps its system frame; the skin draws over the caption after the system has drawn it.

#include <windows.h>

#include <string>

#include "base/Dpi.h"
#include "base/win/Scoped.h"

namespace tarnix {

class CaptionSkin {
  public:
    enum class Button { None, Close, Minimize };

    void attach(HWND window, HICON icon, std::wstring title);
    // The buttons' art for `dpi` (the window's, after a change of DPI).
    void scaleTo(Dpi dpi);

    // Handles the non-client messages the skin cares about; true when the message is
    // consumed (with `result`). Call for every message; the skin calls the default
    // handling itself where it draws after it.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The button under a screen point.
    Button buttonAt(POINT screen) const;

  private:
    void paint();
    void paintButton(HDC dc, const RECT& windowRect, Button which, bool hot);

    HWND window_ = nullptr;
    Dpi dpi_;
    HICON icon_ = nullptr;
    std::wstring title_;
    ScopedBitmap close_, closeHot_, minimize_, minimizeHot_;
    RECT closeRect_{}, minimizeRect_{};  // screen coordinates
    Button hot_ = Button::None;
};

}  // namespace tarnix
