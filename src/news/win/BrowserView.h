#pragma once
// The news window's web view, behind a seam: the system's web browser control hosted in a
// window of the news window (WebBrowserView), or a fake in the tests.
//
// Threads: a view belongs to the thread that made its window and is only ever called
// there; the browser control is an apartment-threaded object.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace tarnix {

class BrowserView {
  public:
    virtual ~BrowserView() = default;
    // Puts the view into `host`, filling its client area. False when no view could be
    // made: the host then stays empty.
    virtual bool create(HWND host) = 0;
    // Starts loading `address` and returns without waiting for the page.
    virtual void navigate(const std::wstring& address) = 0;
    // While the host still exists: the view lets go of it and of everything behind it.
    virtual void close() = 0;
};

using BrowserViewFactory = std::function<std::unique_ptr<BrowserView>()>;

// The system's web browser control, hosted through OLE.
std::unique_ptr<BrowserView> makeWebBrowserView();

}  // namespace tarnix
