#include "shortcuts/OutlookBarKeys.h"

#include <algorithm>

#include "shortcuts/OutlookBarModel.h"

namespace tarnix {
namespace {

// The bar drawn top to bottom: headers 0..open, the open folder's items, the other headers.
int stops(const OutlookBarModel& model) {
    return model.folderCount() + model.itemCount();
}

int positionOf(const OutlookBarModel& model, OutlookFocus focus) {
    const int open = model.openFolder();
    if (focus.kind == OutlookFocus::Item) return open + 1 + focus.index;
    return focus.index <= open ? focus.index : focus.index + model.itemCount();
}

OutlookFocus focusAt(const OutlookBarModel& model, int position) {
    const int open = model.openFolder();
    if (position <= open) return {OutlookFocus::Header, position};
    if (position <= open + model.itemCount()) return {OutlookFocus::Item, position - open - 1};
    return {OutlookFocus::Header, position - model.itemCount()};
}

}  // namespace

OutlookFocus keepFocusInside(const OutlookBarModel& model, OutlookFocus focus) {
    if (model.folderCount() == 0) return {};
    if (focus.kind == OutlookFocus::Item) {
        if (model.itemCount() == 0 || focus.index < 0)
            return {OutlookFocus::Header, std::max(model.openFolder(), 0)};
        return {OutlookFocus::Item, std::min(focus.index, model.itemCount() - 1)};
    }
    return {OutlookFocus::Header, std::clamp(focus.index, 0, model.folderCount() - 1)};
}

OutlookFocus moveFocus(const OutlookBarModel& model, OutlookFocus focus, OutlookKey key) {
    if (model.folderCount() == 0) return {};
    focus = keepFocusInside(model, focus);
    const int last = stops(model) - 1;
    int position = positionOf(model, focus);
    switch (key) {
        case OutlookKey::Up:
            position = std::max(position - 1, 0);
            break;
        case OutlookKey::Down:
            position = std::min(position + 1, last);
            break;
        case OutlookKey::Home:
            position = 0;
            break;
        case OutlookKey::End:
            position = last;
            break;
    }
    return focusAt(model, position);
}

}  // namespace tarnix
