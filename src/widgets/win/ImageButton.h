#pragma once
// A push button of a dialog page drawn from four bitmaps (normal, mouse over, pressed,
// disabled) with its caption in white over them and, while it has the focus, a focus
// rectangle. The button keeps its own click logic, so the parent still gets BN_CLICKED;
// only painting and the look under the mouse are taken over. Screen readers hear it as a
// push button named by its caption. In high contrast it is drawn as the system's button.

#include <windows.h>

#include "widgets/win/Accessible.h"
#include "widgets/win/Bitmaps.h"
#include "base/win/Scoped.h"

namespace tarnix {

class ImageButton : private AccessibleSource {
  public:
    enum class Look { Normal, Hover, Pressed, Disabled };

    // The colour of a bitmap that lets the parent's background show through.
    static constexpr COLORREF kTransparent = kTransparentColour;

    ImageButton() = default;
    ~ImageButton() override;
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;

    // Takes over `button` with the bitmap resources of the button's module, given in the order
    // of Look. A bitmap that cannot be loaded leaves its look as a plain flat face.
    void attach(HWND button, int normal, int hover, int pressed, int disabled);
    void detach();
    // The bitmaps again, drawn for `dpi` (the button's window moved to another scale).
    void scaleTo(Dpi dpi);

    Look look() const;
    HWND hwnd() const { return button_; }

  private:
    AccessiblePart describe(int child) const override;
    bool doDefaultAction(int child) override;

    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void trackMouse(LPARAM point);
    void paint(HDC dc) const;
    void paintParentBackground(HDC dc) const;
    void paintFace(HDC dc, const RECT& area) const;
    void paintCaption(HDC dc, const RECT& area) const;
    void paintFocus(HDC dc, const RECT& area) const;
    void freeBitmaps();

    HWND button_ = nullptr;
    int ids_[4] = {};  // the bitmaps' resources, in the order of Look
    ScopedBitmap bitmaps_[4];
    AccessibleHook accessible_;
    bool hover_ = false;     // the mouse is over the button
    bool pressed_ = false;   // the left button went down on it and is not yet up
    bool pushed_ = false;    // the button's own pushed state, as last set by BM_SETSTATE
    bool tracking_ = false;  // a WM_MOUSELEAVE has been asked for
};

}  // namespace tarnix
