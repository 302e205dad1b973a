#pragma once
// The main window's side of the news window: opens it on the news message at most once
// per run, and tells when the run's first link-up should open it (Provider.ini's
// [News] ShowAfterConnect=1).
//
// Threads: the main window's thread only.

#include <windows.h>

#include <filesystem>

#include "news/win/BrowserView.h"

namespace tarnix {

class NewsLauncher {
  public:
    explicit NewsLauncher(BrowserViewFactory views = makeWebBrowserView)
        : views_(std::move(views)) {}

    // Opens the news window, owned by `mainWindow`, with the page of the host in
    // `folder`'s Provider.ini. Nothing happens once a window has been opened this run,
    // open or closed since. True when a window was opened now.
    bool open(HWND mainWindow, const std::filesystem::path& folder);
    // The subscriber asked for the news (the menu): the window comes to the front, or
    // opens again if an earlier one was closed. True when a window shows.
    bool show(HWND mainWindow, const std::filesystem::path& folder);
    // The client's link came up: true when the news window should open now.
    bool openAfterLinkUp(const std::filesystem::path& folder);

    bool opened() const { return opened_; }
    // The window opened, while it exists (for the tests).
    HWND window() const { return IsWindow(window_) ? window_ : nullptr; }

  private:
    BrowserViewFactory views_;
    bool opened_ = false;
    bool linkedUp_ = false;
    HWND window_ = nullptr;  // never dereferenced: the window frees itself
};

}  // namespace tarnix
