#pragma once
// The news window "澄远资讯": a small modeless window beside the main window that shows
// the provider's news page in a web view. Closing it minimises it first and destroys it
// half a second later; a window made with `new` frees itself when it is gone.

#include <memory>
#include <string>

#include "news/win/BrowserView.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/Window.h"

namespace tarnix {

class NewsWindow : public Dialog {
  public:
    // `address` empty: the window shows nothing. `view` may be null (no view could be had).
    NewsWindow(std::unique_ptr<BrowserView> view, std::wstring address);

  protected:
    BOOL onInitDialog() override;
    void onClose() override;
    void onOK() override {}
    void onCancel() override { onClose(); }
    void onTimer(UINT_PTR id) override;
    void onDestroy() override;

  private:
    static const int kViewId;

    void placeBesideOwner();
    HWND replaceMarker();
    void releaseView();

    Window host_;  // before the view, which lets go of it first
    std::unique_ptr<BrowserView> view_;
    std::wstring address_;
    bool closing_ = false;
};

}  // namespace tarnix
