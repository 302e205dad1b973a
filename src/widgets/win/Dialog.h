#pragma once
// The base of every dialog and dialog page: one object per window over its .rc template,
// message dispatch to small virtual handlers, data exchange between controls and fields,
// and a modal loop of its own so that a dialog can see keys before they are dispatched.

#include <windows.h>

#include <string>

namespace tarnix {

// Moves values between a dialog's controls and its fields, one direction per pass.
class DataExchange {
  public:
    DataExchange(HWND dialog, bool toFields) : dialog_(dialog), toFields_(toFields) {}
    bool toFields() const { return toFields_; }
    void text(int id, std::string& gbField);  // GB2312 field
    void text(int id, std::wstring& field);
    void check(int id, int& field);

  private:
    HWND dialog_;
    bool toFields_;
};

class Dialog {
  public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally over `owner` until end() or its destruction; returns the
    // value given to end(), or -1 when the window could not be made.
    INT_PTR runModal(HWND owner = nullptr);
    // Creates the dialog as a modeless window or child page of `parent`.
    HWND create(HWND parent);
    void end(INT_PTR result);

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    std::wstring itemText(int id) const;
    void setItemText(int id, const std::wstring& text);

    void pull();  // controls to fields
    void push();  // fields to controls

    // Lets the dialog see a message of the owner's loop before it is dispatched (a page of
    // another window's loop); true when the dialog consumed it.
    bool filterMessage(MSG& msg) { return preTranslateChain(msg); }

  protected:
    virtual BOOL onInitDialog() { return TRUE; }
    // A WM_COMMAND; true when handled.
    virtual bool onCommand(int id, int code, HWND control) { return false; }
    virtual void onDestroy() {}
    virtual void exchange(DataExchange&) {}
    // Any other message; true when handled, with `result` for the sender.
    virtual bool onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return false;
    }
    // Sees every message of the modal loop before dispatch; true consumes it.
    virtual bool preTranslate(MSG& msg) { return false; }

  private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    bool preTranslateChain(MSG& msg);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace tarnix
