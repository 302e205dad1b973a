#pragma once
// The shortcut panel's three small dialogs: a new group's name, a file or folder to add,
// and a web page to add. Each checks its fields at "确定" with the panel's rules and keeps
// the accepted values for the caller.

#include <string>

#include "widgets/win/Dialog.h"

namespace tarnix {

// "添加组": one name, trimmed and not empty.
class AddGroupDialog : public Dialog {
  public:
    AddGroupDialog();
    std::string name;  // GB2312, trimmed

  protected:
    void exchange(DataExchange& dx) override;
    void onOK() override;
};

// "增加文件": a path typed or chosen, of a file or of a folder.
class AddFileDialog : public Dialog {
  public:
    AddFileDialog();
    std::string path;  // GB2312, trimmed

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void exchange(DataExchange& dx) override;
    void onOK() override;

  private:
    void browse();
};

// "增加网页": a name and an address; the address gets "http://" when it names no scheme.
class AddWebPageDialog : public Dialog {
  public:
    AddWebPageDialog();
    std::string name;
    std::string address;

  protected:
    void exchange(DataExchange& dx) override;
    void onOK() override;
};

}  // namespace tarnix
