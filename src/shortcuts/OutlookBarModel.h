#pragma once
// OutlookBarModel: what the outlook bar shows and the rules of changing it, without a
// window. Folders hold items; one folder is open and its items are shown from the first
// visible one. The control paints this model and turns its notices into the window
// message the owner receives (wParam the code, lParam the data); the owner's answer comes
// back as the notifier's return value.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarnix {

// Flag bits of the control.
enum OutlookFlag : unsigned {
    kOutlookSmallIcons = 0x1,        // clear: large icons
    kOutlookDragItems = 0x80,        // items can be reordered by dragging
    kOutlookAnimate = 0x100,         // folder changes slide
    kOutlookSelectedSunken = 0x200,  // the selected item keeps a sunken frame, no hover frame
};
inline constexpr unsigned kOutlookDefaultFlags = 0x3FC;

struct OutlookItem {
    int image = 0;  // index into both image lists
    std::intptr_t data = 0;
    std::string caption;  // at most kMaxCaptionBytes
    std::intptr_t data2 = 0;
    std::string target;    // at most kMaxTargetBytes
    std::string location;  // at most kMaxTargetBytes
    std::string parameters;
};

struct OutlookFolder {
    std::string caption;  // at most kMaxFolderNameBytes
    std::intptr_t data = 0;
    std::vector<OutlookItem> items;
    void* child = nullptr;  // a window shown instead of items; the control's to place
};

// Codes of the notification message.
enum class OutlookNotice {
    ItemClicked = 1,          // index: the item
    ItemCaptionEdited = 2,    // index: the item, text: the new caption
    FolderCaptionEdited = 3,  // index: the folder, text: the new caption
    ItemDragged = 4,          // folder, index: the item, target: the place dropped on
    FolderOpened = 5,         // index: the folder
};

struct OutlookNotification {
    OutlookNotice code = OutlookNotice::ItemClicked;
    int folder = -1;
    int index = -1;
    int target = -1;
    std::string text;
};

// Returns the owner's answer; for codes 2 to 4 nonzero allows the change.
using OutlookNotifier = std::function<std::intptr_t(const OutlookNotification&)>;

class OutlookBarModel {
  public:
    explicit OutlookBarModel(unsigned flags = kOutlookDefaultFlags) : flags_(flags) {}

    void setNotifier(OutlookNotifier notifier) { notifier_ = std::move(notifier); }
    unsigned flags() const { return flags_; }
    bool hasFlag(unsigned flag) const { return (flags_ & flag) != 0; }

    // Folders. addFolder appends and returns the index, or -1 once there are
    // kMaxShownFolders. Removing moves the open index down by one when it was at or
    // after the removed folder (0 while folders remain, -1 when none do).
    int addFolder(const std::string& caption, std::intptr_t data = 0);
    bool removeFolder(int index);
    int folderCount() const { return static_cast<int>(folders_.size()); }
    const OutlookFolder* folder(int index) const;
    std::string folderCaption(int index) const;
    bool setFolderChild(int index, void* child);

    // Items. insertItem puts the item at `index` of `folder` (outside 0..count: appended),
    // its texts cut to the item's limits; returns where it went, -1 for a bad folder.
    int insertItem(int folder, int index, OutlookItem item);
    // Removes an item of the open folder.
    bool removeItem(int index);
    int itemCount() const;                     // of the open folder
    const OutlookItem* item(int index) const;  // of the open folder
    std::string itemCaption(int index) const;
    std::string itemTarget(int index) const;
    std::string itemLocation(int index) const;
    std::string itemParameters(int index) const;

    // The open folder. openFolder does nothing (and sends nothing) for the folder already
    // open or a bad index; otherwise the scroll and the selection start over and notice 5
    // goes out. True when the folder changed.
    int openFolder() const { return open_; }
    bool canOpen(int index) const;
    bool openFolder(int index);

    // The view; changing it starts the scroll over. True when it changed.
    bool smallIcons() const { return hasFlag(kOutlookSmallIcons); }
    bool setSmallIcons(bool small);

    // Scroll position: the first item shown, kept within the open folder's items.
    int firstVisible() const { return firstVisible_; }
    void setFirstVisible(int index);

    // The selected item of the open folder, -1 for none.
    int selectedItem() const { return selected_; }

    // The animation tick's period in milliseconds, 0 when off.
    int animationTick() const { return animationTick_; }
    void setAnimationTick(int milliseconds) { animationTick_ = std::max(0, milliseconds); }
    // Whether the mouse over `item` draws a hover frame around its icon: not on the
    // selected item while the tick runs or while the selection keeps a sunken frame.
    bool hoverFrameOn(int item) const;

    // An item was clicked: it becomes the selected one and notice 1 goes out. Returns the
    // item selected before, which the control redraws when selection keeps a frame.
    int clickItem(int index);

    // An item was dropped on place `to` of the open folder: 0..count-1 is the item it was
    // dropped on (it lands before that one), count the end. Notice 4 asks the owner; on
    // a nonzero answer the item moves. Moving down counts after the removal, so the first
    // of three dropped on the third ends up second. True when the item moved.
    bool moveItem(int from, int to);
    // Where moveItem puts an item, the same rule without a model.
    static int placeAfterMove(int from, int to, int count);

    // Captions edited in place: an empty text is not reported; otherwise notice 2 or 3,
    // and a nonzero answer applies the text. True when applied.
    bool editItemCaption(int index, const std::string& text);
    bool editFolderCaption(int index, const std::string& text);

    // Files dropped from the shell are taken only while a folder other than the first is
    // open (the first lists the drives).
    bool acceptsDroppedFiles() const { return open_ > 0; }

  private:
    std::intptr_t notify(const OutlookNotification& notification) const;
    OutlookFolder* openFolderData();
    const OutlookFolder* openFolderData() const;
    void startOver();

    std::vector<OutlookFolder> folders_;
    int open_ = -1;
    int firstVisible_ = 0;
    int selected_ = -1;
    int animationTick_ = 0;
    unsigned flags_;
    OutlookNotifier notifier_;
};

}  // namespace tarnix
