#include "widgets/win/Control.h"

namespace tarnix {

std::wstring Control::text() const {
    int n = GetWindowTextLengthW(hwnd_);
    std::wstring buffer(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = GetWindowTextW(hwnd_, buffer.data(), static_cast<int>(buffer.size()));
    buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return buffer;
}

}  // namespace tarnix
