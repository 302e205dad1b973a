#include "widgets/win/ComboBox.h"

namespace tarnix {

std::wstring ComboBox::at(int index) const {
    LRESULT length = send(CB_GETLBTEXTLEN, index);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = send(CB_GETLBTEXT, index, text.data());
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

}  // namespace tarnix
