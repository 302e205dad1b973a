#pragma once
// "历史消息管理": the stored messages in a list that the type filter and the date pick
// narrow down; a click shows a message in the header line and the text box and enables
// its link when it has a web address; "删除" removes the chosen messages after two
// questions; "导出" adds the list to a text file. Modeless: each command opens one more
// window, and the windows share the one store. Escape does not close it.
//
// Threads: the user-interface thread only, as the store.

#include <optional>
#include <string>

#include "base/win/Scoped.h"
#include "messages/MessageStore.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"

namespace tarnix {

class MessageCenterDialog : public Dialog {
  public:
    // `focus`: the message to show at once (the one a pop-up was about).
    explicit MessageCenterDialog(MessageStore& store, std::optional<Message> focus = {});

    // Opens a further centre and shows it; the window object frees itself when closed.
    // Owned by the main window: no taskbar button of its own, and always above the
    // always-on-top main window instead of under it.
    static MessageCenterDialog* open(MessageStore& store, std::optional<Message> focus = {},
                                     HWND owner = nullptr);
    // Closes every open centre: none may outlive the store it shows.
    static void closeAll();
    ~MessageCenterDialog() override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;
    HBRUSH onControlColour(HDC dc, HWND control, UINT msg) override;
    void onCancel() override {}  // Escape
    void onClose() override { end(IDCANCEL); }

  private:
    ListView list() const;
    void fill(std::vector<Message> rows);
    void showRowCount();
    void fitColumns();
    void clearPaneUnlessListed();
    Message rowMessage(int row) const;
    void search();
    void showClicked();
    bool showRow(int row);
    void deleteSelected();
    void exportList();
    void openLink();

    MessageStore& store_;
    std::optional<Message> focus_;
    std::vector<Message> rows_;  // what the list shows, in its order
    std::optional<Message> shown_;  // the message below the list, as listed
    std::string currentUrl_;        // the clicked message's address, when it may open
    ScopedBrush headerBrush_;
};

}  // namespace tarnix
