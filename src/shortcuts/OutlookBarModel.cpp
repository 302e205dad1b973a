#include "shortcuts/OutlookBarModel.h"

#include <algorithm>

#include "shortcuts/ShortcutRules.h"

namespace tarnix {

std::intptr_t OutlookBarModel::notify(const OutlookNotification& notification) const {
    return notifier_ ? notifier_(notification) : 0;
}

OutlookFolder* OutlookBarModel::openFolderData() {
    return open_ >= 0 && open_ < folderCount() ? &folders_[open_] : nullptr;
}

const OutlookFolder* OutlookBarModel::openFolderData() const {
    return open_ >= 0 && open_ < folderCount() ? &folders_[open_] : nullptr;
}

void OutlookBarModel::startOver() {
    firstVisible_ = 0;
    selected_ = -1;
}

int OutlookBarModel::addFolder(const std::string& caption, std::intptr_t data) {
    if (folderCount() >= kMaxShownFolders) return -1;
    OutlookFolder folder;
    folder.caption = truncateGb(caption, kMaxFolderNameBytes);
    folder.data = data;
    folders_.push_back(std::move(folder));
    return folderCount() - 1;
}

bool OutlookBarModel::removeFolder(int index) {
    if (index < 0 || index >= folderCount()) return false;
    folders_.erase(folders_.begin() + index);
    if (open_ >= index) {
        const bool wasOpen = open_ == index;
        --open_;
        if (open_ < 0 && !folders_.empty()) open_ = 0;
        if (folders_.empty()) open_ = -1;
        if (wasOpen) startOver();
    }
    return true;
}

const OutlookFolder* OutlookBarModel::folder(int index) const {
    return index >= 0 && index < folderCount() ? &folders_[index] : nullptr;
}

std::string OutlookBarModel::folderCaption(int index) const {
    const OutlookFolder* f = folder(index);
    return f ? f->caption : std::string();
}

bool OutlookBarModel::setFolderChild(int index, void* child) {
    if (index < 0 || index >= folderCount()) return false;
    folders_[index].child = child;
    return true;
}

int OutlookBarModel::insertItem(int folderIndex, int index, OutlookItem item) {
    if (folderIndex < 0 || folderIndex >= folderCount()) return -1;
    auto& items = folders_[folderIndex].items;
    item.caption = truncateGb(item.caption, kMaxCaptionBytes);
    item.target = truncateGb(item.target, kMaxTargetBytes);
    item.location = truncateGb(item.location, kMaxTargetBytes);
    const int count = static_cast<int>(items.size());
    if (index < 0 || index > count) index = count;
    items.insert(items.begin() + index, std::move(item));
    if (folderIndex == open_ && selected_ >= index) ++selected_;
    return index;
}

bool OutlookBarModel::removeItem(int index) {
    OutlookFolder* f = openFolderData();
    if (!f || index < 0 || index >= static_cast<int>(f->items.size())) return false;
    f->items.erase(f->items.begin() + index);
    if (selected_ == index) {
        selected_ = -1;
    } else if (selected_ > index) {
        --selected_;
    }
    setFirstVisible(firstVisible_);
    return true;
}

int OutlookBarModel::itemCount() const {
    const OutlookFolder* f = openFolderData();
    return f ? static_cast<int>(f->items.size()) : 0;
}

const OutlookItem* OutlookBarModel::item(int index) const {
    const OutlookFolder* f = openFolderData();
    if (!f || index < 0 || index >= static_cast<int>(f->items.size())) return nullptr;
    return &f->items[index];
}

std::string OutlookBarModel::itemCaption(int index) const {
    const OutlookItem* i = item(index);
    return i ? i->caption : std::string();
}

std::string OutlookBarModel::itemTarget(int index) const {
    const OutlookItem* i = item(index);
    return i ? i->target : std::string();
}

std::string OutlookBarModel::itemLocation(int index) const {
    const OutlookItem* i = item(index);
    return i ? i->location : std::string();
}

std::string OutlookBarModel::itemParameters(int index) const {
    const OutlookItem* i = item(index);
    return i ? i->parameters : std::string();
}

bool OutlookBarModel::canOpen(int index) const {
    return index >= 0 && index < folderCount() && index != open_;
}

bool OutlookBarModel::openFolder(int index) {
    if (!canOpen(index)) return false;
    open_ = index;
    startOver();
    OutlookNotification n;
    n.code = OutlookNotice::FolderOpened;
    n.folder = index;
    n.index = index;
    notify(n);
    return true;
}

bool OutlookBarModel::setSmallIcons(bool small) {
    if (small == smallIcons()) return false;
    flags_ = small ? flags_ | kOutlookSmallIcons : flags_ & ~kOutlookSmallIcons;
    firstVisible_ = 0;
    return true;
}

void OutlookBarModel::setFirstVisible(int index) {
    firstVisible_ = std::clamp(index, 0, std::max(0, itemCount() - 1));
}

bool OutlookBarModel::hoverFrameOn(int item) const {
    if (item < 0 || item >= itemCount()) return false;
    return item != selected_ || (animationTick_ == 0 && !hasFlag(kOutlookSelectedSunken));
}

int OutlookBarModel::clickItem(int index) {
    const int before = selected_;
    if (index < 0 || index >= itemCount()) return before;
    selected_ = index;
    OutlookNotification n;
    n.code = OutlookNotice::ItemClicked;
    n.folder = open_;
    n.index = index;
    notify(n);
    return before;
}

int OutlookBarModel::placeAfterMove(int from, int to, int count) {
    const int place = to > from ? to - 1 : to;
    return std::clamp(place, 0, std::max(0, count - 1));
}

bool OutlookBarModel::moveItem(int from, int to) {
    OutlookFolder* f = openFolderData();
    const int count = itemCount();
    if (!f || from < 0 || from >= count || to < 0 || to > count || to == from) return false;
    OutlookNotification n;
    n.code = OutlookNotice::ItemDragged;
    n.folder = open_;
    n.index = from;
    n.target = to;
    if (!notify(n)) return false;
    // The owner may have changed the folder while it answered.
    f = openFolderData();
    if (!f || from >= itemCount()) return false;
    const int place = placeAfterMove(from, to, itemCount());
    OutlookItem moving = std::move(f->items[from]);
    f->items.erase(f->items.begin() + from);
    f->items.insert(f->items.begin() + place, std::move(moving));
    // The selection stays with the item it was on.
    if (selected_ == from) {
        selected_ = place;
    } else if (selected_ > from && selected_ <= place) {
        --selected_;
    } else if (selected_ < from && selected_ >= place) {
        ++selected_;
    }
    return true;
}

bool OutlookBarModel::editItemCaption(int index, const std::string& text) {
    if (text.empty() || !item(index)) return false;
    OutlookNotification n;
    n.code = OutlookNotice::ItemCaptionEdited;
    n.folder = open_;
    n.index = index;
    n.text = text;
    if (!notify(n) || !item(index)) return false;
    openFolderData()->items[index].caption = truncateGb(text, kMaxCaptionBytes);
    return true;
}

bool OutlookBarModel::editFolderCaption(int index, const std::string& text) {
    if (text.empty() || !folder(index)) return false;
    OutlookNotification n;
    n.code = OutlookNotice::FolderCaptionEdited;
    n.folder = index;
    n.index = index;
    n.text = text;
    if (!notify(n) || !folder(index)) return false;
    folders_[index].caption = truncateGb(text, kMaxFolderNameBytes);
    return true;
}

}  // namespace tarnix
