#pragma once
// "用户管理": the saved accounts; "删除" marks the selected ones, "保存" removes the marked
// accounts from config.xml (and the last-used account when it is one of them), "退出"
// without "保存" changes nothing.

#include "records/UserManagementModel.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"

namespace tarnix {

class UserManagementDialog : public Dialog {
  public:
    explicit UserManagementDialog(ConfigStore& store);

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

  private:
    ListView list() const;
    void fillList();
    void markSelected();

    UserManagementModel model_;
};

}  // namespace tarnix
