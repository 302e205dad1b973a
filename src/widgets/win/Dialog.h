#pragma once
// The base of every dialog and dialog page: one object per window over its .rc template.
// Messages arrive as small typed handlers; a dialog overrides the few it needs. A modal
// dialog ends on OK and Cancel unless it says otherwise; a modeless one is reached by the
// keyboard handling of whatever loop runs; a child page is placed by its owner.
//
//   class NameDialog : public Dialog {
//     public:
//       NameDialog() : Dialog(IDD_NAME) {}
//       std::string name;
//     protected:
//       void exchange(DataExchange& dx) override { dx.text(IDC_NAME, name); }
//       void onOK() override { pull(); if (!name.empty()) end(IDOK); }
//   };
//   NameDialog dialog;  if (dialog.runModal(owner) == IDOK) use(dialog.name);
//
// Threads: a dialog belongs to the thread that made it. Other threads reach it only
// through post(). The handlers and tasks it shares with every window object are in
// WindowObject.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <string_view>

#include "widgets/win/DialogRescale.h"
#include "widgets/win/WindowObject.h"

namespace tarnix {

// Moves values between a dialog's controls and its fields, one direction per pass.
class DataExchange {
  public:
    DataExchange(HWND dialog, bool toFields) : dialog_(dialog), toFields_(toFields) {}
    bool toFields() const { return toFields_; }
    void text(int id, std::string& gbField);  // GB2312 field
    void text(int id, std::wstring& field);
    void check(int id, int& field);
    void check(int id, bool& field);

  private:
    HWND dialog_;
    bool toFields_;
};

class Dialog : public WindowObject {
  public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    ~Dialog() override;

    // Runs the dialog modally over `owner` until end() or its destruction; returns the
    // value given to end(), or -1 when the window could not be made. The loop also serves
    // the open modeless dialogs.
    INT_PTR runModal(HWND owner = nullptr);
    // Creates the dialog as a child page of `parent`.
    HWND create(HWND parent);
    // Creates and shows the dialog as a modeless window owned by `owner`; OK and Cancel
    // close it. A dialog made with `new` may ask to be deleted once its window is gone.
    HWND createModeless(HWND owner, bool deleteWhenClosed = false);
    // Ends a modal or modeless dialog (its window is destroyed at once).
    void end(INT_PTR result);

    HWND item(int id) const { return GetDlgItem(hwnd(), id); }
    std::wstring itemText(int id) const;
    void setItemText(int id, std::wstring_view text);
    void enableItem(int id, bool enabled) const { EnableWindow(item(id), enabled); }
    void showItem(int id, bool shown) const { ShowWindow(item(id), shown ? SW_SHOW : SW_HIDE); }
    bool isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void setChecked(int id, bool on) const {
        CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED);
    }

    void pull();  // controls to fields
    void push();  // fields to controls

    // A page whose window changed its DPI (the system scales top-level dialogs, not pages):
    // its controls and their font at `to`. A page with pictures or a layout of its own
    // follows too, after this.
    virtual void followDpi(Dpi from, Dpi to) { rescale_.apply(hwnd(), from, to); }

    // Lets the dialog see a message of the owner's loop before it is dispatched (a page of
    // another window's loop); true when the dialog consumed it.
    bool filterMessage(MSG& msg) { return preTranslateChain(msg); }
    // The keyboard handling of the open modeless dialogs, for a loop of any window; true
    // when one of them took the message.
    static bool routeToModeless(MSG& msg);

  protected:
    virtual BOOL onInitDialog() { return TRUE; }
    // The close box or Alt+F4: as Cancel unless overridden.
    virtual void onClose() { onCancel(); }
    // OK and Cancel that onCommand() leaves unhandled come here. They end a modal or
    // modeless dialog; a child page ignores them.
    virtual void onOK() { endUnlessPage(IDOK); }
    virtual void onCancel() { endUnlessPage(IDCANCEL); }
    virtual void exchange(DataExchange&) {}
    // Sees every message of the modal loop before dispatch; true consumes it.
    virtual bool preTranslate(MSG& msg) { return false; }

  private:
    enum class Kind { Page, Modal, Modeless };

    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    bool dispatchTyped(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void finish();
    bool preTranslateChain(MSG& msg);
    void endUnlessPage(INT_PTR result);

    int templateId_;
    Kind kind_ = Kind::Page;
    bool deleteWhenClosed_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
    DialogRescale rescale_;
};

}  // namespace tarnix
