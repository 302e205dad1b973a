#include "news/win/NewsLauncher.h"

#include "base/CodePage.h"
#include "base/Profile.h"
#include "news/NewsPage.h"
#include "news/win/NewsWindow.h"

namespace tarnix {

bool NewsLauncher::open(HWND mainWindow, const std::filesystem::path& folder) {
    if (opened_) return false;
    const NewsSettings settings = readNewsSettings(folder, systemProfile());
    std::wstring address = gbToWide(newsPageAddress(settings.host));
    // Frees itself when its window is gone.
    auto* window = new NewsWindow(views_ ? views_() : nullptr, std::move(address));
    window_ = window->createModeless(mainWindow, true);
    opened_ = window_ != nullptr;
    return opened_;
}

bool NewsLauncher::show(HWND mainWindow, const std::filesystem::path& folder) {
    // A minimised window is one that is closing: a new one takes its place.
    if (HWND shown = window(); shown && !IsIconic(shown)) {
        SetForegroundWindow(shown);
        return true;
    }
    opened_ = false;
    return open(mainWindow, folder);
}

bool NewsLauncher::openAfterLinkUp(const std::filesystem::path& folder) {
    if (linkedUp_) return false;
    linkedUp_ = true;
    return !opened_ && readNewsSettings(folder, systemProfile()).showAfterConnect;
}

}  // namespace tarnix
